// The contract host's fake host: its own exception types (one counts its
// objects), a model of the host's values that can throw at a chosen
// operation, feature nodes of both layouts, and contexts with the product
// interface at an offset of its own, twice, or declared in other namespaces.
#pragma once

#include "Checks.h"

#include "host/ActionContext.h"
#include "host/ContextSides.h"

#include <exception>

namespace contract {

// The host's own exception types: one of no standard base, one derived from
// std::exception.
struct HostError {
    int value;
    std::wstring detail;
};

class HostStdError : public std::exception {
public:
    HostStdError(const char* message, int value) : std::exception(message), value_(value) {}
    int value() const { return value_; }

private:
    int value_;
};

// A host exception that counts its objects: every one constructed (copies
// included) must be destroyed exactly once, and none copied after it was
// destroyed. Its text is short enough to stay inside the object.
struct Tracked {
    static long constructed;
    static long destroyed;
    static long destroyedTwice;
    static long copiedDestroyed;

    explicit Tracked(int value) : value(value), alive(true), detail(L"host") { ++constructed; }
    Tracked(const Tracked& other) : value(other.value), alive(true), detail(other.detail)
    {
        if (!other.alive)
            ++copiedDestroyed;
        ++constructed;
    }
    ~Tracked()
    {
        if (!alive)
            ++destroyedTwice;
        alive = false;
        ++destroyed;
    }
    static void reset() { constructed = destroyed = destroyedTwice = copiedDestroyed = 0; }
    static bool balanced() { return constructed > 0 && constructed == destroyed && destroyedTwice == 0 && copiedDestroyed == 0; }

    int value;
    bool alive;
    std::wstring detail;
};
// Rethrows the exception the host is handling, from outside any catch block.
void rethrowCurrent();
// What the Visual C++ runtime raises for that rethrow: a record with neither
// object nor throw information.
void raiseNullRecord();

// Host objects alive: each counted object adds one.
extern long liveObjects;

struct Counted {
    Counted() { ++liveObjects; }
    ~Counted() { --liveObjects; }
};

// count copies of letter.
std::wstring repeated(wchar_t letter, std::size_t count);

struct Pair {
    std::wstring name;
    std::wstring value;
};

// An exception object whose copy constructor throws: the DLL cannot keep a
// copy of it.
struct Uncopyable {
    Uncopyable() {}
    Uncopyable(const Uncopyable&) { throw HostError{44, std::wstring(L"copied")}; }
};

// Which operation throws, and what.
enum Fault {
    kNoFault,
    kThrowHostError,
    kThrowHostStdError,
    kThrowUncopyable,
    kThrowTracked,       // throw Tracked(42)
    kRethrowInside,      // try { throw Tracked(43); } catch (...) { throw; }
    kReplaceInside,      // try { throw Tracked(1); } catch (const Tracked&) { throw Tracked(44); }
    kRethrowCurrent,     // throw; (the host runs the action inside a catch block)
    kRaiseNullRecord,    // the same, raised as Visual C++'s runtime raises it
};

// Throws what the fault names.
[[noreturn]] void throwFault(Fault fault);

struct Model {
    Pair parameters[8];
    int parameterCount = 0;
    Pair written[8];
    int writtenCount = 0;
    std::wstring lastLine;
    int lastLevel = -1;
    int lines = 0;
    Fault fault = kNoFault;
    const char* faultAt = "";  // "Log", "GetRootFeature", "*" for the first host call
    int requestedState = -1;
    std::wstring requestedId;

    void parameter(const wchar_t* name, const std::wstring& value)
    {
        parameters[parameterCount].name = name;
        parameters[parameterCount].value = value;
        ++parameterCount;
    }
    std::wstring valueOf(const std::wstring& name) const
    {
        for (int i = 0; i < parameterCount; ++i)
            if (parameters[i].name == name)
                return parameters[i].value;
        return std::wstring();
    }
    std::wstring writtenValue(const wchar_t* name) const
    {
        for (int i = 0; i < writtenCount; ++i)
            if (written[i].name == std::wstring(name))
                return written[i].value;
        return std::wstring(L"<unset>");
    }
    // No try block here or in the operations that call it: a null rethrow
    // record reaches the DLL as it was raised (Wine's handler of a frame
    // with try blocks rewrites it into the current exception's).
    void enter(const char* operation)
    {
        if (fault == kNoFault || (strcmp(operation, faultAt) != 0 && strcmp(faultAt, "*") != 0))
            return;
        const Fault thrown = fault;
        fault = kNoFault;
        if (thrown == kRethrowCurrent)
            rethrowCurrent();
        if (thrown == kRaiseNullRecord)
            raiseNullRecord();
        throwFault(thrown);
    }
};

class CurrentFeature final : public IFeature, Counted {
public:
    CurrentFeature(Model& model, const wchar_t* id) : model_(model), id_(id) {}

    WideTextPtr GetId() override { return WideTextPtr(new std::wstring(id_)); }
    void ReservedFeature1() override {}
    void ReservedFeature2() override {}
    void ReservedFeature3() override {}
    ListPtr GetChildren() override
    {
        model_.enter("GetChildren");
        return ListPtr(new std::vector<Ptr>);
    }
    bool IsEnabled() override { return true; }
    void GetInstalledState(int& state) override { state = 0; }
    void GetInstallingState(int, int& state) override { state = 1; }
    void SetRequestedState(const int& state) override
    {
        model_.requestedState = state;
        model_.requestedId = id_;
    }
    void GetMarkerState(int& state) override { state = 0; }
    void GetDefaultState(int& state) override { state = 1; }

private:
    Model& model_;
    std::wstring id_;
};

class CoreFeature final : public setupcore::IFeature, Counted {
public:
    CoreFeature(Model& model, const wchar_t* id) : model_(model), id_(id) {}

    WideTextPtr GetId() override { return WideTextPtr(new std::wstring(id_)); }
    void ReservedFeature1() override {}
    void ReservedFeature2() override {}
    ListPtr GetChildren() override
    {
        model_.enter("GetChildren");
        return ListPtr(new std::vector<Ptr>);
    }
    void ReservedFeature4() override {}
    void ReservedFeature5() override {}
    void ReservedFeature6() override {}
    void SetRequestedState(const int& state) override
    {
        model_.requestedState = state;
        model_.requestedId = id_;
    }

private:
    Model& model_;
    std::wstring id_;
};

// The product interface's reserved operations, whichever namespace declares it.
template <typename Interface>
struct ReservedProducts : Interface {
    void ReservedProduct1() override {}
    void ReservedProduct2() override {}
    void ReservedProduct3() override {}
    void ReservedProduct4() override {}
    void ReservedProduct5() override {}
    void ReservedProduct6() override {}
    void ReservedProduct7() override {}
    void ReservedProduct8() override {}
};

struct ProductSide : ReservedProducts<ProductContextSide> {};

class Context : public ActionContextSide, Counted {
public:
    explicit Context(Model& model) : model_(model) {}
    virtual ~Context() {}

    void Log(int level, const std::wstring& text) override
    {
        model_.enter("Log");
        model_.lastLevel = level;
        model_.lastLine = text;
        ++model_.lines;
    }
    WideTextPtr GetParameter(const std::wstring& name) override
    {
        model_.enter("GetParameter");
        return WideTextPtr(new std::wstring(model_.valueOf(name)));
    }
    void SetProperty(const std::wstring& name, const std::wstring& value) override
    {
        model_.enter("SetProperty");
        model_.written[model_.writtenCount].name = name;
        model_.written[model_.writtenCount].value = value;
        ++model_.writtenCount;
    }
    void ReservedHost1() override {}
    void ReservedHost2() override {}
    void ReservedHost3() override {}
    IFeature::Ptr actionRootFeature() override
    {
        model_.enter("GetRootFeature");
        return IFeature::Ptr(new CurrentFeature(model_, L"root"));
    }
    void ReservedHost4() override {}
    void ReservedHost5() override {}
    DiskCostListPtr GetDiskCostList() override { return DiskCostListPtr(new std::vector<DiskCostEntryPtr>); }
    std::wstring ResolveText(const std::wstring& text, const std::wstring&) override
    {
        model_.enter("ResolveText");
        return text;
    }
    void ReservedProperty1() override {}
    void ReservedProperty2() override {}
    void ReservedProperty3() override {}
    std::wstring GetPropertyText(const std::wstring& name) override
    {
        model_.enter("GetPropertyText");
        return model_.valueOf(name);
    }

protected:
    Model& model_;
};

// Hands out a null node with a count block of its own, and keeps a copy.
class NullRootContext final : public Context {
public:
    using Context::Context;
    IFeature::Ptr kept{static_cast<CurrentFeature*>(nullptr)};
    IFeature::Ptr actionRootFeature() override { return kept; }
};

// A padding base puts the product interface at an offset of its own.
struct Padding {
    virtual void pad() {}
    int filler[3] = {1, 2, 3};
};

class ProductContext final : public Context, public Padding, public ProductSide {
public:
    using Context::Context;
    setupcore::IFeature::Ptr productRootFeature() override
    {
        model_.enter("GetRootFeature");
        return setupcore::IFeature::Ptr(new CoreFeature(model_, L"core"));
    }
};

// A context with the product interface twice: the cast is ambiguous, and a
// cast that fails must not hand out either subobject.
// Each side would serve a tree in which the action succeeds.
struct ServingProduct : ProductSide {
    Model* served = nullptr;
    setupcore::IFeature::Ptr productRootFeature() override
    {
        return setupcore::IFeature::Ptr(new CoreFeature(*served, L"core"));
    }
};
struct FirstProduct : ServingProduct {};
struct SecondProduct : ServingProduct {};
class AmbiguousContext final : public Context, public FirstProduct, public SecondProduct {
public:
    explicit AmbiguousContext(Model& model) : Context(model)
    {
        FirstProduct::served = &model;
        SecondProduct::served = &model;
    }
};

// IProductContext as other hosts' headers declare it: the same interface in
// the global namespace, in a namespace of the host's and nested, as struct
// and as class. Only its class name is the contract.

#define PRODUCT_INTERFACE(Keyword)                                      \
    Keyword IProductContext                                             \
    {                                                                   \
    public:                                                             \
        virtual void ReservedProduct1() = 0;                            \
        virtual void ReservedProduct2() = 0;                            \
        virtual void ReservedProduct3() = 0;                            \
        virtual void ReservedProduct4() = 0;                            \
        virtual void ReservedProduct5() = 0;                            \
        virtual void ReservedProduct6() = 0;                            \
        virtual void ReservedProduct7() = 0;                            \
        virtual void ReservedProduct8() = 0;                            \
        virtual setupcore::IFeature::Ptr GetRootFeature() = 0;          \
                                                                        \
    protected:                                                          \
        ~IProductContext() {}                                           \
    };

} // namespace contract

PRODUCT_INTERFACE(struct)
namespace vendor {
PRODUCT_INTERFACE(class)
}
namespace outer {
namespace inner {
PRODUCT_INTERFACE(struct)
}
namespace deeper {
PRODUCT_INTERFACE(class)
}
} // namespace outer

namespace contract {

template <typename Interface>
struct SideOf : ReservedProducts<Interface> {
    setupcore::IFeature::Ptr GetRootFeature() override { return productRoot(); }
    virtual setupcore::IFeature::Ptr productRoot() = 0;
};

template <typename Interface>
class ProductContextOf final : public Context, public Padding, public SideOf<Interface> {
public:
    using Context::Context;
    setupcore::IFeature::Ptr productRoot() override
    {
        model_.enter("GetRootFeature");
        return setupcore::IFeature::Ptr(new CoreFeature(model_, L"core"));
    }
};

// Two different classes named IProductContext: as ambiguous as one twice.
class TwoProductContexts final : public Context,
                                 public SideOf< ::IProductContext>,
                                 public SideOf<vendor::IProductContext> {
public:
    using Context::Context;
    setupcore::IFeature::Ptr productRoot() override
    {
        return setupcore::IFeature::Ptr(new CoreFeature(model_, L"core"));
    }
};

typedef int(__cdecl* Action)(ActionContextPtr context);

// The loaded libraries.
extern void* vantorel;
extern void* cobrinth;
extern void* testActions;

// The export name of library, or the program ends with status 2.
Action action(void* library, const char* name);

// Calls the action with a context over model, with the product interface
// when product is set.
int call(void* library, const char* name, Model& model, bool product = false);

} // namespace contract
