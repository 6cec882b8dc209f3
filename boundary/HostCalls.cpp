// The host interfaces over the host's own objects: each operation a call through its vtable slot.
#include "boundary/HostCalls.h"

#include "boundary/Guard.h"
#include "boundary/Texts.h"
#include "boundary/Thiscall.h"
#include "host/ContextSides.h"

#include <boost/make_shared.hpp>

#include <windows.h>

#include <stdexcept>

namespace boundary {

void addReference(CountBlock* counts)
{
    if (counts != nullptr)
        ::InterlockedIncrement(&counts->useCount);
}

void releaseReference(CountBlock* counts)
{
    if (counts == nullptr || ::InterlockedDecrement(&counts->useCount) != 0)
        return;
    callHostQuietly([counts] { slotOf<ThiscallVoid>(counts, kCountBlockDispose)(counts); });
    if (::InterlockedDecrement(&counts->weakCount) == 0)
        callHostQuietly([counts] { slotOf<ThiscallVoid>(counts, kCountBlockDestroy)(counts); });
}

namespace {

// One host reference, released with its owner.
class HostRef {
public:
    explicit HostRef(const SharedPtr& pointer) : pointer_(pointer) {}
    ~HostRef() { releaseReference(pointer_.counts); }
    HostRef(const HostRef&) = delete;
    HostRef& operator=(const HostRef&) = delete;

    void* object() const { return pointer_.object; }

private:
    SharedPtr pointer_;
};

// A host string returned by value, destroyed the host's way.
struct ReturnedText {
    WString text;
    // Empty until the host constructs its result in place.
    ReturnedText()
    {
        text.text.buffer[0] = L'\0';
        text.size = 0;
        text.capacity = WString::kInlineCapacity;
    }
    ~ReturnedText() { destroyHostText(text); }
};

void* checked(void* object, const char* what)
{
    // The contract says never null; a null from the host must not be read.
    if (object == nullptr)
        throw std::runtime_error(std::string("the host returned a null ") + what);
    return object;
}

WideTextPtr takeText(const SharedPtr& result)
{
    HostRef text(result);
    return boost::make_shared<std::wstring>(copyText(*static_cast<WString*>(checked(text.object(), "text"))));
}

SharedPtr sharedResult(void* object, int slot)
{
    SharedPtr result = {nullptr, nullptr};
    callHost([&] { slotOf<SharedResultCall>(object, slot)(object, &result); });
    return result;
}

[[noreturn]] void notCalled()
{
    throw std::logic_error("no action calls this host operation");
}

// The elements of a host vector of shared pointers, each given a reference
// of its own and wrapped by make.
template <typename List, typename Make>
boost::shared_ptr<List> takeList(const SharedPtr& result, Make make)
{
    HostRef list(result);
    const Vector& elements = *static_cast<const Vector*>(checked(list.object(), "list"));
    boost::shared_ptr<List> out = boost::make_shared<List>();
    const SharedPtr* first = static_cast<const SharedPtr*>(elements.first);
    const SharedPtr* last = static_cast<const SharedPtr*>(elements.last);
    out->reserve(static_cast<std::size_t>(last - first));
    for (const SharedPtr* element = first; element != last; ++element) {
        addReference(element->counts);
        out->push_back(make(*element));
    }
    return out;
}

// The feature node's slots, current and earlier layout.
struct CurrentSlots {
    enum { kGetId = kFeatureGetId, kGetChildren = kFeatureGetChildren, kSetRequestedState = kFeatureSetRequestedState };
};
struct CoreSlots {
    enum {
        kGetId = kCoreFeatureGetId,
        kGetChildren = kCoreFeatureGetChildren,
        kSetRequestedState = kCoreFeatureSetRequestedState
    };
};

template <typename Interface, typename Slots>
class FeatureBase : public Interface {
public:
    // The check comes first: once ref_ holds the reference, a throw here
    // would release it twice (here and in wrapFeature).
    explicit FeatureBase(const SharedPtr& pointer) : ref_((checked(pointer.object, "feature"), pointer)) {}

    WideTextPtr GetId() override { return takeText(sharedResult(object(), Slots::kGetId)); }
    typename Interface::ListPtr GetChildren() override
    {
        typedef typename Interface::ListPtr::element_type List;
        return takeList<List>(sharedResult(object(), Slots::kGetChildren), [](const SharedPtr& child) {
            return wrap(child);
        });
    }
    void SetRequestedState(const int& state) override
    {
        void* self = object();
        callHost([&] { slotOf<IntRefInCall>(self, Slots::kSetRequestedState)(self, &state); });
    }
    void ReservedFeature1() override { notCalled(); }
    void ReservedFeature2() override { notCalled(); }

    // Takes over the reference of pointer.
    static typename Interface::Ptr wrap(const SharedPtr& pointer);

protected:
    void* object() const { return ref_.object(); }

    int intResult(int slot)
    {
        void* self = object();
        int value = 0;
        callHost([&] { slotOf<IntOutCall>(self, slot)(self, &value); });
        return value;
    }

private:
    HostRef ref_;
};

class CurrentFeature final : public FeatureBase<IFeature, CurrentSlots> {
public:
    using FeatureBase::FeatureBase;
    void ReservedFeature3() override { notCalled(); }
    bool IsEnabled() override
    {
        void* self = object();
        bool enabled = false;
        callHost([&] { enabled = slotOf<BoolCall>(self, kFeatureIsEnabled)(self); });
        return enabled;
    }
    void GetInstalledState(int& state) override { state = intResult(kFeatureGetInstalledState); }
    void GetInstallingState(int flag, int& state) override
    {
        void* self = object();
        int value = 0;
        callHost([&] { slotOf<IntInIntOutCall>(self, kFeatureGetInstallingState)(self, flag, &value); });
        state = value;
    }
    void GetMarkerState(int& state) override { state = intResult(kFeatureGetMarkerState); }
    void GetDefaultState(int& state) override { state = intResult(kFeatureGetDefaultState); }
};

class CoreFeature final : public FeatureBase<setupcore::IFeature, CoreSlots> {
public:
    using FeatureBase::FeatureBase;
    void ReservedFeature4() override { notCalled(); }
    void ReservedFeature5() override { notCalled(); }
    void ReservedFeature6() override { notCalled(); }
};

// Makes the wrapper; releases the reference when that fails.
template <typename Wrapper, typename Ptr>
Ptr wrapFeature(const SharedPtr& pointer)
{
    try {
        return boost::make_shared<Wrapper>(pointer);
    } catch (...) {
        releaseReference(pointer.counts);
        throw;
    }
}

template <>
IFeature::Ptr FeatureBase<IFeature, CurrentSlots>::wrap(const SharedPtr& pointer)
{
    return wrapFeature<CurrentFeature, IFeature::Ptr>(pointer);
}

template <>
setupcore::IFeature::Ptr FeatureBase<setupcore::IFeature, CoreSlots>::wrap(const SharedPtr& pointer)
{
    return wrapFeature<CoreFeature, setupcore::IFeature::Ptr>(pointer);
}

struct ProductSide : ProductContextSide {
    void ReservedProduct1() override { notCalled(); }
    void ReservedProduct2() override { notCalled(); }
    void ReservedProduct3() override { notCalled(); }
    void ReservedProduct4() override { notCalled(); }
    void ReservedProduct5() override { notCalled(); }
    void ReservedProduct6() override { notCalled(); }
    void ReservedProduct7() override { notCalled(); }
    void ReservedProduct8() override { notCalled(); }
};

class Context : public ActionContextSide {
public:
    explicit Context(const SharedPtr& pointer) : ref_(pointer) {}
    virtual ~Context() {}

    void Log(int level, const std::wstring& text) override
    {
        HostText line(text);
        void* self = object();
        callHost([&] { slotOf<LogCall>(self, kLog)(self, level, line.get()); });
    }
    WideTextPtr GetParameter(const std::wstring& name) override
    {
        HostText key(name);
        void* self = object();
        SharedPtr result = {nullptr, nullptr};
        callHost([&] { slotOf<SharedResultOfTextCall>(self, kGetParameter)(self, &result, key.get()); });
        return takeText(result);
    }
    void SetProperty(const std::wstring& name, const std::wstring& value) override
    {
        HostText key(name);
        HostText text(value);
        void* self = object();
        callHost([&] { slotOf<TwoTextsCall>(self, kSetProperty)(self, key.get(), text.get()); });
    }
    void ReservedHost1() override { notCalled(); }
    void ReservedHost2() override { notCalled(); }
    void ReservedHost3() override { notCalled(); }
    IFeature::Ptr actionRootFeature() override { return CurrentFeature::wrap(sharedResult(object(), kGetRootFeature)); }
    void ReservedHost4() override { notCalled(); }
    void ReservedHost5() override { notCalled(); }
    DiskCostListPtr GetDiskCostList() override
    {
        return takeList<std::vector<DiskCostEntryPtr> >(sharedResult(object(), kGetDiskCostList), [](const SharedPtr& pointer) {
            HostRef entry(pointer);
            const boundary::DiskCostEntry& cost =
                *static_cast<const boundary::DiskCostEntry*>(checked(entry.object(), "disk cost entry"));
            DiskCostEntryPtr copy = boost::make_shared< ::DiskCostEntry>();
            addReference(cost.path.counts);
            copy->path = takeText(cost.path);
            copy->cost = cost.cost;
            return copy;
        });
    }
    std::wstring ResolveText(const std::wstring& text, const std::wstring& context) override
    {
        HostText first(text);
        HostText second(context);
        void* self = object();
        ReturnedText result;
        callHost([&] { slotOf<TextResultOfTwoTextsCall>(self, kResolveText)(self, &result.text, first.get(), second.get()); });
        return copyText(result.text);
    }
    void ReservedProperty1() override { notCalled(); }
    void ReservedProperty2() override { notCalled(); }
    void ReservedProperty3() override { notCalled(); }
    std::wstring GetPropertyText(const std::wstring& name) override
    {
        HostText key(name);
        void* side = static_cast<char*>(object()) + kPropertyContextOffset;
        ReturnedText result;
        callHost([&] { slotOf<TextResultOfTextCall>(side, kGetPropertyText)(side, &result.text, key.get()); });
        return copyText(result.text);
    }

protected:
    void* object() const { return ref_.object(); }

private:
    HostRef ref_;
};

class ProductContext final : public Context, public ProductSide {
public:
    ProductContext(const SharedPtr& pointer, void* product) : Context(pointer), product_(product) {}

    setupcore::IFeature::Ptr productRootFeature() override
    {
        return FeatureBase<setupcore::IFeature, CoreSlots>::wrap(sharedResult(product_, kProductGetRootFeature));
    }

private:
    void* product_;
};

} // namespace

ActionContextPtr makeContext(void* object, CountBlock* counts, void* product)
{
    const SharedPtr pointer = {object, counts};
    Context* context = nullptr;
    try {
        context = product != nullptr ? new ProductContext(pointer, product) : new Context(pointer);
    } catch (...) {
        releaseReference(counts);
        throw;
    }
    // From here the context owns the reference (boost deletes it when the
    // count block cannot be made).
    return ActionContextPtr(context);
}

} // namespace boundary
