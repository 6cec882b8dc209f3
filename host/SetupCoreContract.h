// The earlier form of the host's product interfaces that the setup-core
// library is built against. Declared in a namespace of its own so that a host
// can serve both forms in one process.
#pragma once

#include "host/HostTypes.h"

namespace setupcore {

// The earlier feature node: one operation fewer ahead of GetChildren.
struct IFeature {
    typedef boost::shared_ptr<IFeature> Ptr;
    typedef boost::shared_ptr<std::vector<Ptr> > ListPtr;

    virtual WideTextPtr GetId() = 0;
    virtual void ReservedFeature1() = 0;
    virtual void ReservedFeature2() = 0;
    virtual ListPtr GetChildren() = 0;
    virtual void ReservedFeature4() = 0;
    virtual void ReservedFeature5() = 0;
    virtual void ReservedFeature6() = 0;
    virtual void SetRequestedState(const int& state) = 0;

protected:
    ~IFeature() {}
};

// The product side of the host's context, reached from IActionContext by a
// run-time cast.
struct IProductContext {
    virtual void ReservedProduct1() = 0;
    virtual void ReservedProduct2() = 0;
    virtual void ReservedProduct3() = 0;
    virtual void ReservedProduct4() = 0;
    virtual void ReservedProduct5() = 0;
    virtual void ReservedProduct6() = 0;
    virtual void ReservedProduct7() = 0;
    virtual void ReservedProduct8() = 0;
    virtual IFeature::Ptr GetRootFeature() = 0;

protected:
    ~IProductContext() {}
};

} // namespace setupcore
