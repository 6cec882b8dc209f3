// A host of its own, built by clang for Visual C++'s ABI and linked against
// vantorel's import library: it checks the binary contract of the 32-bit
// DLLs from the host's side. It loads the DLLs from its own folder, looks the
// actions up by name, and prints one line per check and a summary:
//   msvc_contract_host.exe [--kit]
// With --kit it checks what a kit holds (vantorel.dll, cobrinth.dll); without
// it also the tests' own action library (libtest_actions.dll).
#include "frame/InstallException.h"
#include "host/ActionContext.h"
#include "host/ContextSides.h"

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
}

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

enum Fault { kNoFault, kThrowHostError, kThrowHostStdError, kThrowUncopyable };

struct Model {
    Pair parameters[8];
    int parameterCount = 0;
    Pair written[8];
    int writtenCount = 0;
    std::wstring lastLine;
    int lastLevel = -1;
    int lines = 0;
    Fault fault = kNoFault;
    const char* faultAt = "";  // "Log", "GetRootFeature"
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
    void enter(const char* operation)
    {
        if (fault == kNoFault || strcmp(operation, faultAt) != 0)
            return;
        const Fault thrown = fault;
        fault = kNoFault;
        if (thrown == kThrowHostError)
            throw HostError{42, std::wstring(L"thrown by the host")};
        if (thrown == kThrowUncopyable)
            throw Uncopyable();
        throw HostStdError("host failure", 43);
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

struct ProductSide : ProductContextSide {
    void ReservedProduct1() override {}
    void ReservedProduct2() override {}
    void ReservedProduct3() override {}
    void ReservedProduct4() override {}
    void ReservedProduct5() override {}
    void ReservedProduct6() override {}
    void ReservedProduct7() override {}
    void ReservedProduct8() override {}
};

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

void libraryExceptionsReachTheHostAsStdException()
{
    Model model;
    try {
        call(testActions, "ThrowRuntimeError", model);
        check(false, "the exception was lost");
    } catch (const std::exception& error) {
        check(strcmp(error.what(), "thrown in the library") == 0, "what() of the library's exception");
    }
    try {
        call(testActions, "ThrowInstallException", model);
        check(false, "the exception was lost");
    } catch (const InstallException& error) {
        check(error.code() == 7, "InstallException raised by the library, caught by its type");
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
    run("long texts cross both ways", longTextsCrossBothWays);
    run("null nodes are refused and released once", nullNodesAreRefusedAndReleasedOnce);
    if (!kit) {
        testActions = LoadLibraryW(L"libtest_actions.dll");
        if (testActions == nullptr) {
            print("FAIL cannot load libtest_actions.dll\n");
            return 2;
        }
        run("library exceptions reach the host", libraryExceptionsReachTheHostAsStdException);
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
