// The host's feature node as the product-level library sees it.
#pragma once

#include "host/HostTypes.h"

// A node of the host's feature tree. Owned by the host and handed out through
// boost::shared_ptr. The order of the virtual operations is the host's binary
// layout; the Reserved slots are operations no action calls.
struct IFeature {
    typedef boost::shared_ptr<IFeature> Ptr;
    typedef boost::shared_ptr<std::vector<Ptr> > ListPtr;

    // Never null.
    virtual WideTextPtr GetId() = 0;
    virtual void ReservedFeature1() = 0;
    virtual void ReservedFeature2() = 0;
    virtual void ReservedFeature3() = 0;
    // Never null; children in the host's order. An empty list may have no storage.
    virtual ListPtr GetChildren() = 0;
    virtual bool IsEnabled() = 0;
    virtual void GetInstalledState(int& state) = 0;
    virtual void GetInstallingState(int flag, int& state) = 0;
    virtual void SetRequestedState(const int& state) = 0;
    // Only the value 2 carries a meaning for the actions (a marked node).
    virtual void GetMarkerState(int& state) = 0;
    // 1 means the feature is on by default.
    virtual void GetDefaultState(int& state) = 0;

protected:
    // Nodes are destroyed through the deleter of the shared pointer that owns them.
    ~IFeature() {}
};
