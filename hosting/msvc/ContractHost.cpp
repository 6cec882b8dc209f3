// A host of its own, built by clang for Visual C++'s ABI and linked against
// vantorel's import library: it checks the binary contract of the 32-bit
// DLLs from the host's side. It loads the DLLs from its own folder, looks the
// actions up by name, and prints one line per check and a summary:
//   msvc_contract_host.exe [--kit]
// With --kit it checks what a kit holds (vantorel.dll, cobrinth.dll); without
// it also the tests' own action library (libtest_actions.dll).
#include "host/InstallException.h"
#include "host/ActionContext.h"
#include "host/ContextSides.h"

#include <new>
#include <typeinfo>

extern "C" {
struct HeapEntry {
    int* entry;
    size_t size;
    int used;
};
int __cdecl _heapwalk(HeapEntry* entry);
int __cdecl strcmp(const char* a, const char* b);
void* __stdcall GetStdHandle(unsigned long which);
int __stdcall WriteFile(void* file, const void* data, unsigned long size, unsigned long* written, void* overlapped);
void* __stdcall LoadLibraryW(const wchar_t* name);
void* __stdcall GetProcAddress(void* module, const char* name);
__declspec(noreturn) void __stdcall ExitProcess(unsigned code);
void __stdcall RaiseException(unsigned long code, unsigned long flags, unsigned long count, const unsigned long* arguments);

// Calls function with the stack at 4 mod 16, as a Visual C++ caller may (it
// keeps 4-byte alignment only): the arguments' bytes are copied below the
// misaligned stack pointer, self goes in ecx (for thiscall), and the stack is
// restored afterwards whoever pops the arguments. Returns eax.
unsigned __cdecl misalignedCall(const void* function, const void* arguments, unsigned bytes, void* self);
}

__asm__(".text\n"
        ".globl _misalignedCall\n"
        "_misalignedCall:\n"
        "    pushl %ebp\n"
        "    movl %esp, %ebp\n"
        "    pushl %ebx\n"
        "    pushl %esi\n"
        "    pushl %edi\n"
        "    movl 16(%ebp), %ecx\n"
        "    movl %esp, %eax\n"
        "    subl %ecx, %eax\n"
        "    andl $-16, %eax\n"
        "    subl $12, %eax\n"
        "    movl %eax, %esp\n"
        "    movl 12(%ebp), %esi\n"
        "    movl %esp, %edi\n"
        "    cld\n"
        "    rep movsb\n"
        "    movl 20(%ebp), %ecx\n"
        "    call *8(%ebp)\n"
        "    leal -12(%ebp), %esp\n"
        "    popl %edi\n"
        "    popl %esi\n"
        "    popl %ebx\n"
        "    popl %ebp\n"
        "    ret\n");

namespace {

// ---- Output and checks

void print(const char* text)
{
    unsigned long written = 0;
    WriteFile(GetStdHandle(static_cast<unsigned long>(-11)), text, static_cast<unsigned long>(strlen(text)), &written,
              nullptr);
}

void printNumber(long value)
{
    char digits[16];
    int length = 0;
    const bool negative = value < 0;
    unsigned long magnitude = negative ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        digits[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        print("-");
    char text[16];
    for (int i = 0; i < length; ++i)
        text[i] = digits[length - 1 - i];
    text[length] = '\0';
    print(text);
}

int passed = 0;
int failed = 0;
const char* current = "";
bool currentFailed = false;

void check(bool condition, const char* what)
{
    if (condition)
        return;
    print("FAIL ");
    print(current);
    print(": ");
    print(what);
    print("\n");
    currentFailed = true;
}

template <typename Test>
void run(const char* name, Test test)
{
    current = name;
    currentFailed = false;
    try {
        test();
    } catch (...) {
        check(false, "an exception reached the test");
    }
    if (currentFailed) {
        ++failed;
    } else {
        ++passed;
        print("PASS ");
        print(name);
        print("\n");
    }
}

long liveAllocations()
{
    HeapEntry entry = {nullptr, 0, 0};
    long used = 0;
    while (_heapwalk(&entry) == -2)
        if (entry.used == 1)
            ++used;
    return used;
}

// ---- The host's model

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
long Tracked::constructed = 0;
long Tracked::destroyed = 0;
long Tracked::destroyedTwice = 0;
long Tracked::copiedDestroyed = 0;

// Rethrows the exception the host is handling, from outside any catch block.
__declspec(noinline) void rethrowCurrent()
{
    throw;
}

// What the Visual C++ runtime raises for that rethrow: a record with neither
// object nor throw information.
__declspec(noinline) void raiseNullRecord()
{
    const unsigned long arguments[3] = {0x19930520ul, 0, 0};
    RaiseException(0xE06D7363ul, 1, 3, arguments);
}

long liveObjects = 0;

struct Counted {
    Counted() { ++liveObjects; }
    ~Counted() { --liveObjects; }
};

std::wstring repeated(wchar_t letter, std::size_t count)
{
    wchar_t* text = new wchar_t[count + 1];
    for (std::size_t i = 0; i < count; ++i)
        text[i] = letter;
    text[count] = L'\0';
    std::wstring result(text, count);
    delete[] text;
    return result;
}

struct Pair {
    std::wstring name;
    std::wstring value;
};

// Which operation throws, and what.
// An exception object whose copy constructor throws: the DLL cannot keep a
// copy of it.
struct Uncopyable {
    Uncopyable() {}
    Uncopyable(const Uncopyable&) { throw HostError{44, std::wstring(L"copied")}; }
};

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

[[noreturn]] __declspec(noinline) void throwFault(Fault fault)
{
    switch (fault) {
    case kThrowHostError:
        throw HostError{42, std::wstring(L"thrown by the host")};
    case kThrowUncopyable:
        throw Uncopyable();
    case kThrowTracked:
        throw Tracked(42);
    case kRethrowInside:
        try {
            throw Tracked(43);
        } catch (...) {
            throw;
        }
    case kReplaceInside:
        try {
            throw Tracked(1);
        } catch (const Tracked&) {
            throw Tracked(44);
        }
    default:
        throw HostStdError("host failure", 43);
    }
}

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

} // namespace

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

namespace {

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

void* vantorel = nullptr;
void* cobrinth = nullptr;
void* testActions = nullptr;

Action action(void* library, const char* name)
{
    Action found = reinterpret_cast<Action>(GetProcAddress(library, name));
    if (found == nullptr) {
        print("FAIL no export ");
        print(name);
        print("\n");
        ExitProcess(2);
    }
    return found;
}

int call(void* library, const char* name, Model& model, bool product = false)
{
    ActionContextPtr context(product ? static_cast<Context*>(new ProductContext(model)) : new Context(model));
    return action(library, name)(context);
}

// ---- The checks

void installExceptionThroughTheExportedMembers()
{
    InstallException original(7);
    InstallException copy(original);
    InstallException assigned(1);
    assigned = original;
    check(copy.code() == 7 && assigned.code() == 7, "copied and assigned code");
    check(strcmp(assigned.what(), "InstallException thrown") == 0, "what()");
    std::exception* base = new InstallException(3);
    check(dynamic_cast<InstallException*>(base) != nullptr, "dynamic_cast through the class's type information");
    check(strcmp(base->what(), "InstallException thrown") == 0, "what() through the vtable");
    delete base;
    try {
        throw InstallException(9);
    } catch (const InstallException& caught) {
        check(caught.code() == 9, "caught by its type with its code");
    }
    try {
        throw InstallException(10);
    } catch (const std::exception& caught) {
        check(strcmp(caught.what(), "InstallException thrown") == 0, "caught as std::exception");
    }
}

void hostExceptionsPassThroughToTheHost()
{
    // SleepCommand has no handler: the host's own objects come back as they were.
    Model model;
    model.parameter(L"Seconds", L"0");
    model.fault = kThrowHostError;
    model.faultAt = "Log";
    try {
        call(vantorel, "SleepCommand", model);
        check(false, "the exception was lost");
    } catch (const HostError& error) {
        check(error.value == 42 && error.detail == std::wstring(L"thrown by the host"), "HostError's values");
    }
    Model standard;
    standard.parameter(L"Seconds", L"0");
    standard.fault = kThrowHostStdError;
    standard.faultAt = "Log";
    try {
        call(cobrinth, "SleepCommand", standard);
        check(false, "the exception was lost");
    } catch (const HostStdError& error) {
        check(error.value() == 43 && strcmp(error.what(), "host failure") == 0, "HostStdError's values");
    }
    // One the DLL cannot copy still reaches the host, as std::exception.
    Model uncopyable;
    uncopyable.parameter(L"Seconds", L"0");
    uncopyable.fault = kThrowUncopyable;
    uncopyable.faultAt = "Log";
    try {
        call(vantorel, "SleepCommand", uncopyable);
        check(false, "the exception was lost");
    } catch (const std::exception& error) {
        check(strcmp(error.what(), "an exception of the host that could not be copied") == 0,
              "an uncopyable host exception as std::exception");
    }
    check(liveObjects == 0, "every host object released");
}

void hostExceptionsMeetTheCatchAlls()
{
    struct CatchAll {
        void** library;
        const char* action;
        const wchar_t* crashLine;
        int level;
        bool product;
    };
    const CatchAll actions[] = {
        {&vantorel, "ChangeFeatureState", L"ChangeFeatureState crashed", 4, false},
        {&vantorel, "SetFeatureStateToDefault", L"[SetFeatureStateToDefault] crashed", 4, false},
        {&vantorel, "DisplayFeatureInstallingState", L"[DisplayFeatureInstallingState] crashed", 2, false},
        {&vantorel, "CompareVersion", L"CompareVersion crashed", 4, false},
        {&cobrinth, "ChangeFeatureState", L"ChangeFeatureState crashed", 4, true},
    };
    for (const CatchAll& one : actions) {
        Model model;
        model.parameter(L"State", L"Install");
        model.parameter(L"FeatureID", L"X");
        model.parameter(L"FeatureId", L"X");
        model.parameter(L"VersionNeedToCompare", L"1.0");
        model.fault = kThrowHostError;
        model.faultAt = strcmp(one.action, "CompareVersion") == 0 ? "GetParameter" : "GetChildren";
        const int result = call(*one.library, one.action, model, one.product);
        check(result == 1, one.action);
        check(model.lastLine == std::wstring(one.crashLine) && model.lastLevel == one.level, one.action);
    }
    check(liveObjects == 0, "every host object released");
}

void nullNodesAreRefusedAndReleasedOnce()
{
    Model model;
    model.parameter(L"State", L"Install");
    model.parameter(L"FeatureID", L"X");
    boost::shared_ptr<NullRootContext> context(new NullRootContext(model));
    check(action(vantorel, "ChangeFeatureState")(context) == 1, "result 1");
    check(model.lastLine == std::wstring(L"ChangeFeatureState crashed"), "the catch-all's crash line");
    check(context->kept.use_count() == 1, "the host's reference released exactly once");
}

// typeid through the object's vtable: the descriptor the object's own type
// information names.
__declspec(noinline) const char* dynamicTypeName(const std::exception& error)
{
    return typeid(error).name();
}

bool contains(const char* text, const char* part)
{
    const size_t length = strlen(part);
    for (; *text != '\0'; ++text) {
        size_t i = 0;
        while (i < length && text[i] == part[i])
            ++i;
        if (i == length)
            return true;
    }
    return false;
}

void libraryExceptionsReachTheHostAsStdException()
{
    Model model;
    try {
        call(testActions, "ThrowRuntimeError", model);
        check(false, "the exception was lost");
    } catch (const std::exception& error) {
        check(strcmp(error.what(), "thrown in the library") == 0, "what() of the library's exception");
        check(strcmp(dynamicTypeName(error), "class std::exception") == 0, "the library exception's type name");
    }
    try {
        call(testActions, "ThrowInstallException", model);
        check(false, "the exception was lost");
    } catch (const InstallException& error) {
        check(error.code() == 7, "InstallException raised by the library, caught by its type");
        check(strcmp(dynamicTypeName(error), "class InstallException") == 0, "its type name");
    }
}

void productContextFoundThroughTypeInformation()
{
    Model model;
    model.parameter(L"State", L"Uninstall");
    model.parameter(L"FeatureId", L"core");
    check(call(cobrinth, "ChangeFeatureState", model, true) == 0, "result 0");
    check(model.requestedState == 2 && model.requestedId == std::wstring(L"core"),
          "the product context's tree reached at its offset");
    // A context without it: the action's own guard, no null dereference.
    Model plain;
    plain.parameter(L"State", L"Install");
    check(call(cobrinth, "ChangeFeatureState", plain, false) == 1, "result 1 without a product context");
    check(plain.lastLine == std::wstring(L"ChangeFeatureState crashed"), "crash line without a product context");
    Model twice;
    twice.parameter(L"State", L"Install");
    twice.parameter(L"FeatureId", L"core");
    check(action(cobrinth, "ChangeFeatureState")(ActionContextPtr(new AmbiguousContext(twice))) == 1,
          "result 1 with an ambiguous product context");
    check(twice.lastLine == std::wstring(L"ChangeFeatureState crashed"), "crash line with an ambiguous one");
    check(liveObjects == 0, "every host object released");
}

template <typename Interface>
void productContextIn(const char* where)
{
    Model model;
    model.parameter(L"State", L"Uninstall");
    model.parameter(L"FeatureId", L"core");
    check(action(cobrinth, "ChangeFeatureState")(ActionContextPtr(new ProductContextOf<Interface>(model))) == 0, where);
    check(model.requestedState == 2 && model.requestedId == std::wstring(L"core"), where);
}

void productContextInAnyNamespace()
{
    productContextIn< ::IProductContext>("global namespace, struct");
    productContextIn<vendor::IProductContext>("another namespace, class");
    productContextIn<outer::inner::IProductContext>("nested namespaces, struct");
    productContextIn<outer::deeper::IProductContext>("nested namespaces, class");
    Model two;
    two.parameter(L"State", L"Install");
    two.parameter(L"FeatureId", L"core");
    check(action(cobrinth, "ChangeFeatureState")(ActionContextPtr(new TwoProductContexts(two))) == 1,
          "result 1 with two different product contexts");
    check(two.lastLine == std::wstring(L"ChangeFeatureState crashed") && two.requestedState == -1,
          "the crash line, and no state set, with two different product contexts");
    check(liveObjects == 0, "every host object released");
}

void typeNamesOfExceptionsThatCrossed()
{
    // The runtime computes a readable name once and stores it in the type
    // descriptor: the DLL's descriptors must take the write.
    InstallException made(5);
    const char* name = dynamicTypeName(made);
    check(name != nullptr && strcmp(name, "class InstallException") == 0, "InstallException made through the exports");
    check(dynamicTypeName(made) == name, "the readable name kept in the descriptor");
    try {
        Model model;
        model.parameter(L"Seconds", L"0");
        model.fault = kThrowHostStdError;
        model.faultAt = "Log";
        call(vantorel, "SleepCommand", model);
        check(false, "the exception was lost");
    } catch (const std::exception& error) {
        // The host's class lies in an anonymous namespace, which Wine's
        // runtime leaves decorated: "?AVHostStdError@?A0x...@@".
        const char* name = dynamicTypeName(error);
        check(name != nullptr && contains(name, "HostStdError"), "a host exception that passed through an action");
    }
}

// The host runs the action from inside a catch block of its own. (Its
// caller catches what comes back: Wine's runtime itself mishandles a
// rethrow of the current exception caught in the function whose catch block
// it left, with host code alone.)
__declspec(noinline) void callInsideCatch(int value, void* library, Model& model)
{
    try {
        throw Tracked(value);
    } catch (const Tracked&) {
        call(library, "SleepCommand", model);
    }
}

bool tracked(Fault fault, int value, const char* what, bool insideCatch, void** library)
{
    Tracked::reset();
    Model model;
    model.parameter(L"Seconds", L"0");
    model.fault = fault;
    model.faultAt = "Log";
    bool caught = false;
    try {
        if (insideCatch)
            callInsideCatch(value, *library, model);
        else
            call(*library, "SleepCommand", model);
    } catch (const Tracked& error) {
        caught = true;
        check(error.value == value && error.alive && error.detail == std::wstring(L"host"), what);
    }
    check(caught, what);
    check(Tracked::balanced(), what);
    if (!Tracked::balanced()) {
        print("    constructed ");
        printNumber(Tracked::constructed);
        print(", destroyed ");
        printNumber(Tracked::destroyed);
        print(", destroyed twice ");
        printNumber(Tracked::destroyedTwice);
        print(", copied after destruction ");
        printNumber(Tracked::copiedDestroyed);
        print("\n");
    }
    return caught;
}

void hostFaultsComeBackAsThemselves()
{
    void** const libraries[] = {&vantorel, &cobrinth};
    for (void** library : libraries) {
        tracked(kThrowTracked, 42, "a plain throw", false, library);
        tracked(kRethrowInside, 43, "a rethrow inside the host operation", false, library);
        tracked(kReplaceInside, 44, "a host operation that catches one and throws another", false, library);
        // The host runs the action inside a catch block; the operation
        // rethrows the exception that block handles.
        tracked(kRethrowCurrent, 45, "a rethrow of the host's current exception", true, library);
        tracked(kRaiseNullRecord, 46, "the runtime's rethrow record, raised by hand", true, library);
    }
    // A catch-all meets a rethrown host fault: the copies it made are gone
    // with the call.
    const Fault faults[] = {kThrowTracked, kRethrowInside, kReplaceInside};
    for (Fault fault : faults) {
        Tracked::reset();
        Model model;
        model.parameter(L"State", L"Install");
        model.parameter(L"FeatureID", L"X");
        model.fault = fault;
        model.faultAt = "GetChildren";
        check(call(vantorel, "ChangeFeatureState", model) == 1, "the catch-all's result");
        check(model.lastLine == std::wstring(L"ChangeFeatureState crashed"), "the catch-all's crash line");
        check(Tracked::balanced(), "a host fault met by the catch-all");
    }
    check(liveObjects == 0, "every host object released");
}

// ---- A caller that aligns the stack to 4 bytes only

const char* const kVantorelActions[] = {
    "ChangeFeatureState", "SetFeatureStateToDefault", "DisplayFeatureInstallingState", "CheckDiskCost",
    "CompareVersion", "DetectOverhangingPatch", "GetProductPatchLevel", "CheckValidMinorRelease",
    "DetectPatchOnLowerSP", "DetectPatchOrSPOnHigherRevision", "CheckForBlockingProductPreReqs",
    "EvaluateFeaturePreReqs", "EvaluateTargetFeaturePreReqs", "SortAvailableSetupLanguages",
    "CheckIfContainSubstring", "SetVexaName", "SleepCommand", "RunCommandAndSetReturnCode",
    "RunCommandAndSetProperty"};
const char* const kCobrinthActions[] = {"SetPathRelatedProperties", "ChangeFeatureState", "SleepCommand"};

// An action called through misalignedCall: the shared pointer's two words,
// whose reference the action releases.
int callMisaligned(void* library, const char* name, const ActionContextPtr& context)
{
    alignas(4) unsigned char words[sizeof(ActionContextPtr)];
    new (words) ActionContextPtr(context);
    return static_cast<int>(misalignedCall(reinterpret_cast<const void*>(action(library, name)), words,
                                           sizeof(words), nullptr));
}

bool commandAction(const char* name)
{
    return strcmp(name, "RunCommandAndSetReturnCode") == 0 || strcmp(name, "RunCommandAndSetProperty") == 0;
}

void everyExportOnAMisalignedStack()
{
    struct Library {
        void** library;
        const char* const* names;
        int count;
    };
    const Library libraries[] = {{&vantorel, kVantorelActions, 19}, {&cobrinth, kCobrinthActions, 3}};
    for (const Library& one : libraries) {
        for (int i = 0; i < one.count; ++i) {
            const char* name = one.names[i];
            // Each action once as it runs (but those that start a command),
            // and once with a host fault at its first call, which the
            // boundary catches and raises again.
            for (int faulted = commandAction(name) ? 1 : 0; faulted < 2; ++faulted) {
                Tracked::reset();
                Model model;
                model.parameter(L"Seconds", L"0");
                model.parameter(L"State", L"Install");
                if (faulted) {
                    model.fault = kThrowTracked;
                    model.faultAt = "*";
                }
                ActionContextPtr context(one.library == &cobrinth ? static_cast<Context*>(new ProductContext(model))
                                                                  : new Context(model));
                bool raised = false;
                int result = 0;
                try {
                    result = callMisaligned(*one.library, name, context);
                } catch (const Tracked& error) {
                    raised = error.value == 42;
                } catch (const std::exception& error) {
                    // The library's own exception (an action given no
                    // parameters may raise one), as std::exception.
                    raised = !faulted && error.what() != nullptr && error.what()[0] != '\0';
                }
                check(raised || result == 0 || result == 1, name);
                check(context.use_count() == 1, name);
                check(!faulted || Tracked::balanced(), name);
            }
        }
    }
    // InstallException's members, thiscall, called as Visual C++ calls them.
    void* construct = GetProcAddress(vantorel, "??0InstallException@@QAE@H@Z");
    void* copy = GetProcAddress(vantorel, "??0InstallException@@QAE@ABV0@@Z");
    void* destroy = GetProcAddress(vantorel, "??1InstallException@@UAE@XZ");
    check(construct != nullptr && copy != nullptr && destroy != nullptr, "InstallException's members exported");
    if (construct != nullptr && copy != nullptr && destroy != nullptr) {
        alignas(4) unsigned char original[sizeof(InstallException)];
        alignas(4) unsigned char copied[sizeof(InstallException)];
        const int code = 12;
        const void* source = original;
        misalignedCall(construct, &code, sizeof(code), original);
        misalignedCall(copy, &source, sizeof(source), copied);
        check(reinterpret_cast<InstallException*>(copied)->code() == 12, "the copy's code");
        misalignedCall(destroy, nullptr, 0, copied);
        misalignedCall(destroy, nullptr, 0, original);
    }
    check(liveObjects == 0, "every host object released");
}

void codeCompiledForMisalignedCallers()
{
    Model model;
    check(call(testActions, "StackAlignment", model) == 0, "aligned where the host aligned the stack");
    check(callMisaligned(testActions, "StackAlignment", ActionContextPtr(new Context(model))) == 0,
          "the DLL's code realigns what it needs when the host did not");
}

void longTextsCrossBothWays()
{
    const std::size_t lengths[] = {7, 8, 9, 2047, 2048, 3000};
    for (std::size_t length : lengths) {
        const long before = liveAllocations();
        {
            Model model;
            const std::wstring languages = repeated(L'a', length);
            model.parameter(L"$available.ui.langs", languages);
            model.parameter(L"WriteProperty", repeated(L'P', length));
            check(call(vantorel, "SortAvailableSetupLanguages", model) == 0, "result 0");
            check(model.writtenCount == 1 && model.written[0].name == repeated(L'P', length) &&
                      model.written[0].value == languages,
                  "a long property written");
            // GetPropertyText and ResolveText return texts by value.
            Model prereqs;
            prereqs.parameter(L"$product$prereqspassed", L"false");
            prereqs.parameter(L"$product$prereqids", L"Q");
            prereqs.parameter(L"$product$prereq$Q$passed", L"false");
            prereqs.parameter(L"$product$prereq$Q$type", L"error");
            prereqs.parameter(L"$product$prereq$Q$description", repeated(L'd', length));
            prereqs.parameter(L"$product$prereq$Q$reason", repeated(L'r', length));
            check(call(vantorel, "CheckForBlockingProductPreReqs", prereqs) == 0, "result 0");
            check(prereqs.writtenValue(L"HasBlockingPreReq") == std::wstring(L"1"), "the prerequisite blocks");
            check(prereqs.lastLine == std::wstring(L"Reason: ") + repeated(L'r', length), "a long text logged");
        }
        check(liveAllocations() == before, "no host allocation left behind");
    }
    check(liveObjects == 0, "every host object released");
}

int runAll(bool kit)
{
    vantorel = LoadLibraryW(L"vantorel.dll");
    cobrinth = LoadLibraryW(L"cobrinth.dll");
    if (vantorel == nullptr || cobrinth == nullptr) {
        print("FAIL cannot load vantorel.dll and cobrinth.dll from the program's folder\n");
        return 2;
    }
    run("InstallException through the exported members", installExceptionThroughTheExportedMembers);
    run("host exceptions pass through to the host", hostExceptionsPassThroughToTheHost);
    run("host exceptions meet the catch-alls", hostExceptionsMeetTheCatchAlls);
    run("IProductContext found through type information", productContextFoundThroughTypeInformation);
    run("IProductContext in any namespace", productContextInAnyNamespace);
    run("type names of exceptions that crossed", typeNamesOfExceptionsThatCrossed);
    run("host faults come back as themselves", hostFaultsComeBackAsThemselves);
    run("every export on a misaligned stack", everyExportOnAMisalignedStack);
    run("long texts cross both ways", longTextsCrossBothWays);
    run("null nodes are refused and released once", nullNodesAreRefusedAndReleasedOnce);
    if (!kit) {
        testActions = LoadLibraryW(L"libtest_actions.dll");
        if (testActions == nullptr) {
            print("FAIL cannot load libtest_actions.dll\n");
            return 2;
        }
        run("library exceptions reach the host", libraryExceptionsReachTheHostAsStdException);
        run("code compiled for misaligned callers", codeCompiledForMisalignedCallers);
    }
    printNumber(passed);
    print(" passed, ");
    printNumber(failed);
    print(" failed\n");
    return failed == 0 ? 0 : 1;
}

} // namespace

extern "C" const wchar_t* __stdcall GetCommandLineW();

// The program's entry: no C runtime start-up is needed.
extern "C" void msvcMainStartup()
{
    const wchar_t* line = GetCommandLineW();
    bool kit = false;
    for (const wchar_t* at = line; *at != L'\0'; ++at)
        if (at[0] == L'-' && at[1] == L'-' && at[2] == L'k' && at[3] == L'i' && at[4] == L't')
            kit = true;
    ExitProcess(static_cast<unsigned>(runAll(kit)));
}
