// A host of its own, built by clang for Visual C++'s ABI and linked against
// vantorel's import library: it checks the binary contract of the 32-bit
// DLLs from the host's side. It loads the DLLs from its own folder, looks the
// actions up by name, and prints the runtime it runs on, one line per check
// and a summary:
//   msvc_contract_host.exe [--kit] [--static-runtime]
// With --kit it checks what a kit holds (vantorel.dll, cobrinth.dll); without
// it also the tests' own action library (libtest_actions.dll). With
// --static-runtime it is the model of a host linked /MT (its runtime under
// another name than vcruntime140.dll), and expects what such a host gets.
#include "FakeHost.h"
#include "RuntimeProof.h"

#include "host/InstallException.h"

#include <new>
#include <typeinfo>

using namespace contract;

namespace {

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
        // The host's class lies in a namespace of the host's.
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

// The model of a host linked /MT: the DLLs find no current exception of its.
bool staticRuntime = false;

bool tracked(Fault fault, int value, const char* what, bool insideCatch, void** library)
{
    Tracked::reset();
    Model model;
    model.parameter(L"Seconds", L"0");
    model.fault = fault;
    model.faultAt = "Log";
    bool caught = false;
    // A /MT host's runtime exports no current exception: a rethrow of it,
    // outside any catch block of the operation, reaches the host as
    // std::exception, and the host's catch keeps and destroys its own object.
    const bool uncopied = staticRuntime && insideCatch;
    try {
        if (insideCatch)
            callInsideCatch(value, *library, model);
        else
            call(*library, "SleepCommand", model);
    } catch (const Tracked& error) {
        caught = !uncopied;
        check(error.value == value && error.alive && error.detail == std::wstring(L"host"), what);
    } catch (const std::exception& error) {
        caught = uncopied && strcmp(error.what(), "an exception of the host that could not be copied") == 0;
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
    char runtime[1024];
    const bool expected = msvc::describeRuntime(runtime, sizeof(runtime));
    print(runtime);
    print("\n");
    if (!expected) {
        print("FAIL the C++ runtime expected\n");
        return 2;
    }
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
    for (const wchar_t* at = line; *at != L'\0'; ++at) {
        if (at[0] == L'-' && at[1] == L'-' && at[2] == L'k' && at[3] == L'i' && at[4] == L't')
            kit = true;
        if (at[0] == L'-' && at[1] == L'-' && at[2] == L's' && at[3] == L't' && at[4] == L'a' && at[5] == L't')
            staticRuntime = true;
    }
    ExitProcess(static_cast<unsigned>(runAll(kit)));
}
