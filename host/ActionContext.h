// The host contract: the action context through which an action reads its
// inputs, writes its results and logs. This is the chief header of host/.
#pragma once

#include "host/Feature.h"
#include "host/HostTypes.h"
#include "host/SetupCoreContract.h"

// The primary interface of the host's action context.
struct IActionHost {
    // One log line. Levels used: 0 detail, 2 progress, 3 warning, 4 error.
    virtual void Log(int level, const std::wstring& text) = 0;
    // Never null; an unknown name gives the empty text. Also answers host
    // values such as "$product.id".
    virtual WideTextPtr GetParameter(const std::wstring& name) = 0;
    // The property holds value afterwards.
    virtual void SetProperty(const std::wstring& name, const std::wstring& value) = 0;
    virtual void ReservedHost1() = 0;
    virtual void ReservedHost2() = 0;
    virtual void ReservedHost3() = 0;
    // Never null.
    virtual IFeature::Ptr GetRootFeature() = 0;
    virtual void ReservedHost4() = 0;
    virtual void ReservedHost5() = 0;
    // Never null.
    virtual DiskCostListPtr GetDiskCostList() = 0;
    // Callers pass "" as second text and use the result in place of text.
    virtual std::wstring ResolveText(const std::wstring& text, const std::wstring& context) = 0;

protected:
    ~IActionHost() {}
};

// The second interface carried by the same context object.
struct IPropertyHost {
    virtual void ReservedProperty1() = 0;
    virtual void ReservedProperty2() = 0;
    virtual void ReservedProperty3() = 0;
    // Empty text means no value.
    virtual std::wstring GetPropertyText(const std::wstring& name) = 0;

protected:
    ~IPropertyHost() {}
};

// The context an action is called with. Owned by the host and shared with the
// action by value; the action releases its reference before it returns.
struct IActionContext : IActionHost, IPropertyHost {
protected:
    ~IActionContext() {}
};

typedef boost::shared_ptr<IActionContext> ActionContextPtr;

// The signature of every exported action.
typedef int (*ActionEntry)(ActionContextPtr context);
