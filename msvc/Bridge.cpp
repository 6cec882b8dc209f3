// The test host that clang builds for Visual C++'s ABI: it implements the
// host interfaces of the contract headers as a Visual C++ host does (clang
// decides the vtables, the argument passing, the result slots, the run-time
// type information and the exceptions), calls an action of a 32-bit Windows
// DLL with its context, and forwards each host call to the simulated host
// through the plain C interface of host/MsvcBridge.h. A fault of the
// simulated host is thrown here as a real Visual C++ exception.
#include "bridge/MsvcBridge.h"

#include "host/InstallException.h"
#include "host/ActionContext.h"
#include "host/ContextSides.h"

#include "RuntimeProof.h"

namespace {

// Counts the host objects of one call, so that the caller sees every
// reference the action was given come back.
class Counted {
public:
    explicit Counted(long* live) : live_(live) { ++*live_; }
    Counted(const Counted&) = delete;
    ~Counted() { --*live_; }

private:
    long* live_;
};

// A fault of the simulated host, as the host's own exception type.
class HostFault : public std::exception {
public:
    HostFault(const char* message, int fault) : std::exception(message), fault_(fault) {}
    int fault() const { return fault_; }

private:
    int fault_;
};

struct Call {
    const BridgeHost* host;
    long* live;

    void check(int fault) const
    {
        if (fault == 0)
            return;
        const char* text = "host fault";
        host->faultText(host->context, fault, &text);
        throw HostFault(text, fault);
    }
};

BridgeText view(const std::wstring& text)
{
    BridgeText view = {text.data(), text.size()};
    return view;
}

WideTextPtr text(const BridgeText& value)
{
    return WideTextPtr(new std::wstring(value.data, value.size));
}

template <class Interface>
typename Interface::Ptr wrap(const Call& call, BridgeFeature feature);

template <class Interface>
typename Interface::ListPtr children(const Call& call, BridgeFeature feature)
{
    size_t count = 0;
    call.check(call.host->getChildCount(call.host->context, feature, &count));
    typename Interface::ListPtr list(new std::vector<typename Interface::Ptr>);
    if (count > 0)
        list->reserve(count);
    for (size_t i = 0; i < count; ++i) {
        BridgeFeature child = nullptr;
        call.check(call.host->getChild(call.host->context, feature, i, &child));
        list->push_back(wrap<Interface>(call, child));
    }
    return list;
}

// What both feature layouts share. The operations that no action calls
// report their slot, numbered from slotBase, as a fault of the host.
template <class Interface, int slotBase>
class BridgedFeature : public Interface, Counted {
public:
    BridgedFeature(const Call& call, BridgeFeature feature) : Counted(call.live), call_(call), feature_(feature) {}

    WideTextPtr GetId() override
    {
        BridgeText id = {nullptr, 0};
        call_.check(call_.host->getId(call_.host->context, feature_, &id));
        return text(id);
    }
    void ReservedFeature1() override { reserved(1); }
    void ReservedFeature2() override { reserved(2); }
    typename Interface::ListPtr GetChildren() override { return children<Interface>(call_, feature_); }
    void SetRequestedState(const int& state) override
    {
        call_.check(call_.host->setRequestedState(call_.host->context, feature_, state));
    }

protected:
    void reserved(int slot) { call_.check(call_.host->reserved(call_.host->context, slotBase + slot)); }

    Call call_;
    BridgeFeature feature_;
};

class Feature final : public BridgedFeature<IFeature, 100> {
public:
    using BridgedFeature::BridgedFeature;

    void ReservedFeature3() override { reserved(3); }
    bool IsEnabled() override { return value(kBridgeEnabled, 0) != 0; }
    void GetInstalledState(int& state) override { state = value(kBridgeInstalledState, 0); }
    void GetInstallingState(int flag, int& state) override { state = value(kBridgeInstallingState, flag); }
    void GetMarkerState(int& state) override { state = value(kBridgeMarkerState, 0); }
    void GetDefaultState(int& state) override { state = value(kBridgeDefaultState, 0); }

private:
    int value(int which, int flag)
    {
        int result = 0;
        call_.check(call_.host->getValue(call_.host->context, feature_, which, flag, &result));
        return result;
    }
};

class CoreFeature final : public BridgedFeature<setupcore::IFeature, 200> {
public:
    using BridgedFeature::BridgedFeature;

    void ReservedFeature4() override { reserved(4); }
    void ReservedFeature5() override { reserved(5); }
    void ReservedFeature6() override { reserved(6); }
};

template <>
IFeature::Ptr wrap<IFeature>(const Call& call, BridgeFeature feature)
{
    return IFeature::Ptr(new Feature(call, feature));
}

template <>
setupcore::IFeature::Ptr wrap<setupcore::IFeature>(const Call& call, BridgeFeature feature)
{
    return setupcore::IFeature::Ptr(new CoreFeature(call, feature));
}

class Context : public ActionContextSide, Counted {
public:
    explicit Context(const Call& call) : Counted(call.live), call_(call) {}
    virtual ~Context() {}

    void Log(int level, const std::wstring& line) override
    {
        call_.check(call_.host->log(call_.host->context, level, view(line)));
    }
    WideTextPtr GetParameter(const std::wstring& name) override
    {
        BridgeText value = {nullptr, 0};
        call_.check(call_.host->getParameter(call_.host->context, view(name), &value));
        return text(value);
    }
    void SetProperty(const std::wstring& name, const std::wstring& value) override
    {
        call_.check(call_.host->setProperty(call_.host->context, view(name), view(value)));
    }
    void ReservedHost1() override { reserved(4); }
    void ReservedHost2() override { reserved(5); }
    void ReservedHost3() override { reserved(6); }
    IFeature::Ptr actionRootFeature() override
    {
        BridgeFeature root = nullptr;
        call_.check(call_.host->getRootFeature(call_.host->context, 0, &root));
        return wrap<IFeature>(call_, root);
    }
    void ReservedHost4() override { reserved(8); }
    void ReservedHost5() override { reserved(9); }
    DiskCostListPtr GetDiskCostList() override
    {
        size_t count = 0;
        call_.check(call_.host->getDiskCostCount(call_.host->context, &count));
        DiskCostListPtr list(new std::vector<DiskCostEntryPtr>);
        if (count > 0)
            list->reserve(count);
        for (size_t i = 0; i < count; ++i) {
            BridgeText path = {nullptr, 0};
            DiskCostEntryPtr entry(new DiskCostEntry);
            call_.check(call_.host->getDiskCost(call_.host->context, i, &path, &entry->cost));
            entry->path = text(path);
            list->push_back(std::move(entry));
        }
        return list;
    }
    std::wstring ResolveText(const std::wstring& line, const std::wstring& second) override
    {
        BridgeText value = {nullptr, 0};
        call_.check(call_.host->resolveText(call_.host->context, view(line), view(second), &value));
        return std::wstring(value.data, value.size);
    }
    void ReservedProperty1() override { reserved(21); }
    void ReservedProperty2() override { reserved(22); }
    void ReservedProperty3() override { reserved(23); }
    std::wstring GetPropertyText(const std::wstring& name) override
    {
        BridgeText value = {nullptr, 0};
        call_.check(call_.host->getPropertyText(call_.host->context, view(name), &value));
        return std::wstring(value.data, value.size);
    }

protected:
    void reserved(int slot) { call_.check(call_.host->reserved(call_.host->context, slot)); }

    Call call_;
};

class ProductContext final : public Context, public ProductContextSide {
public:
    using Context::Context;

    void ReservedProduct1() override { reserved(31); }
    void ReservedProduct2() override { reserved(32); }
    void ReservedProduct3() override { reserved(33); }
    void ReservedProduct4() override { reserved(34); }
    void ReservedProduct5() override { reserved(35); }
    void ReservedProduct6() override { reserved(36); }
    void ReservedProduct7() override { reserved(37); }
    void ReservedProduct8() override { reserved(38); }
    setupcore::IFeature::Ptr productRootFeature() override
    {
        BridgeFeature root = nullptr;
        call_.check(call_.host->getRootFeature(call_.host->context, 1, &root));
        return wrap<setupcore::IFeature>(call_, root);
    }
};

void copyMessage(BridgeOutcome& outcome, const char* message)
{
    size_t i = 0;
    for (; message != nullptr && message[i] != '\0' && i + 1 < sizeof(outcome.message); ++i)
        outcome.message[i] = message[i];
    outcome.message[i] = '\0';
}

typedef int(__cdecl* Action)(ActionContextPtr context);

} // namespace

extern "C" __declspec(dllexport) void bridgeCallAction(void* entry, const BridgeHost* host, int productContext,
                                                       BridgeOutcome* outcome)
{
    outcome->kind = kBridgeReturned;
    outcome->result = -1;
    outcome->fault = 0;
    outcome->code = 0;
    outcome->message[0] = '\0';
    // A host object that outlives the call would count into this later.
    long* live = new long(0);
    const Call call = {host, live};
    try {
        ActionContextPtr context;
        if (productContext != 0)
            context = ActionContextPtr(static_cast<Context*>(new ProductContext(call)));
        else
            context = ActionContextPtr(new Context(call));
        // The copy is the action's: Visual C++ passes it by value and the
        // action destroys it.
        outcome->result = reinterpret_cast<Action>(entry)(context);
    } catch (const HostFault& fault) {
        outcome->kind = kBridgeHostFault;
        outcome->fault = fault.fault();
        copyMessage(*outcome, fault.what());
    } catch (const InstallException& error) {
        outcome->kind = kBridgeInstallException;
        outcome->code = error.code();
        copyMessage(*outcome, error.what());
    } catch (const std::exception& error) {
        outcome->kind = kBridgeStdException;
        copyMessage(*outcome, error.what());
    } catch (...) {
        outcome->kind = kBridgeUnknownException;
    }
    outcome->kept = *live;
    if (*live == 0)
        delete live;
}

extern "C" __declspec(dllexport) int bridgeRuntime(char* line, size_t size)
{
    return msvc::describeRuntime(line, size) ? 1 : 0;
}

// The DLL's entry point: nothing to set up.
extern "C" int __stdcall _DllMainCRTStartup(void*, unsigned long, void*)
{
    return 1;
}
