// Deep and wide inputs, and many actions at once on many threads, each with
// a host of its own: the actions keep no state, so the runs must not
// interfere (run under ThreadSanitizer by the tsan preset).
#include "ActionTest.h"
#include "run/Runner.h"
#include "scenario/Scenario.h"
#include "hosting/HostedAction.h"

#include <Poco/DirectoryIterator.h>
#include <Poco/Path.h>

#include <filesystem>
#include <iostream>
#include <set>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#endif

using hosting::FeatureModel;
using hosting::HostModel;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

FeatureModel chain(std::size_t depth)
{
    FeatureModel root = testing_support::feature(L"n0");
    FeatureModel* node = &root;
    for (std::size_t i = 1; i < depth; ++i) {
        node->children.push_back(testing_support::feature(L"n" + std::to_wstring(i)));
        node = &node->children.back();
    }
    return root;
}

TEST(DeepAndWideInputs, FeatureTreeTwoThousandLevelsDeep)
{
    HostModel model;
    model.recordTranscript = false;
    model.root = chain(2000);
    model.parameters[L"State"] = L"Install";
    model.parameters[L"FeatureID"] = L"n1999";
    Outcome change = runVantorel("ChangeFeatureState", model);
    EXPECT_EQ(0, change.result());
    EXPECT_EQ(1, change.record.featureStates.at(L"n1999"));
    EXPECT_EQ(L"changed state ofn1999", change.record.log[change.record.log.size() - 2].text);

    EXPECT_EQ(2000u + 1, runVantorel("DisplayFeatureInstallingState", model).record.log.size());
    EXPECT_EQ(2000u, runVantorel("SetFeatureStateToDefault", model).record.featureStates.size());
    EXPECT_EQ(L"0", runVantorel("EvaluateFeaturePreReqs", model).property(L"HasDisabledFeature"));
}

TEST(DeepAndWideInputs, HundredThousandPrerequisiteIdentifiers)
{
    HostModel model;
    model.recordTranscript = false;
    std::wstring ids;
    for (int i = 0; i < 100000; ++i)
        ids += L"p" + std::to_wstring(i) + L";";
    model.properties[L"$product$prereqids"] = ids;
    model.properties[L"$product$prereq$p99999$passed"] = L"false";
    model.properties[L"$product$prereq$p99999$type"] = L"error";
    Outcome run = runVantorel("CheckForBlockingProductPreReqs", model);
    EXPECT_EQ(L"1", run.property(L"HasBlockingPreReq"));
    EXPECT_EQ(2u + 2 * 100000 + 1 + 2, run.record.log.size());
}

TEST(DeepAndWideInputs, TenMegabyteSingleLineForwardFitFile)
{
    testing_support::ScratchDirectory directory;
    std::string line = "14.0.3:";
    while (line.size() < 10 * 1024 * 1024)
        line += " 14.0.2.1";
    line += " 14.0.1.5";
    HostModel model;
    model.recordTranscript = false;
    model.parameters[L"ForwardFitDataFile"] = hosting::widen(directory.write("ff.txt", line));
    model.parameters[L"CurrentPatchLevel"] = L"14.0.1.7";
    model.parameters[L"$product.id"] = L"P,14.0.3.0";
    Outcome run = runVantorel("DetectOverhangingPatch", model);
    EXPECT_EQ(0, run.result());
    EXPECT_EQ(L"true", run.property(L"OverhangingPatch"));
}

// Every example scenario, of both libraries, each run once alone for its
// reference outcome, then all of them at once on eight threads, each run
// with a host of its own; every run must give its reference outcome. One
// world serves them all, as it would a host: one drive and registry
// configuration, and the examples' folder as working directory, so that the
// forward-fit file's relative path resolves there. The commands run in a
// real shell.
struct Example {
    std::string name;
    const char* library;
    std::string action;
    HostModel model;
};

std::string fingerprint(const Outcome& run)
{
    std::string text = run.record.exception ? "exception " + run.record.exceptionText
                                            : "result " + std::to_string(run.record.result);
    for (const hosting::LogLine& line : run.record.log)
        text += "\nlog " + std::to_string(line.level) + " " + hosting::narrow(line.text);
    for (const auto& write : run.record.writes)
        text += "\nwrite " + hosting::narrow(write.first) + "=" + hosting::narrow(write.second);
    for (const auto& state : run.record.featureStates)
        text += "\nstate " + hosting::narrow(state.first) + "=" + std::to_string(state.second);
    for (const std::string& call : run.record.calls)
        text += "\ncall " + call;
    return text;
}

TEST(Concurrency, EveryActionOfBothLibrariesOnEightThreadsUnderOneWorld)
{
    const std::string examples = std::string(SOURCE_DIR) + "/examples";
    std::vector<Example> work;
    std::set<std::string> actions;
    for (Poco::DirectoryIterator it(examples), end; it != end; ++it) {
        if (!it->isFile() || Poco::Path(it->path()).getExtension() != "json")
            continue;
        const actionhost::Scenario scenario = actionhost::loadScenario(it->path());
        const char* library = scenario.library == "cobrinth" ? COBRINTH_LIBRARY : VANTOREL_LIBRARY;
        work.push_back({scenario.name, library, scenario.action, scenario.model});
        actions.insert(scenario.library + "." + scenario.action);
    }
    ASSERT_EQ(22u, actions.size());

    hosting::WorldModel world;
    world.hasDrives = true;
    world.drives = "C:=fixed#1073741824;E:=cdrom";
    world.hasRegistry = true;
    world.registry = "Windows Registry Editor Version 5.00\r\n\r\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n"
                     "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\r\n"
                     "\"ProgramFilesDir (x86)\"=\"C:\\\\Program Files (x86)\"\r\n";
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::u8path(examples));
    {
        hosting::SimulatedWorld simulated(&testing_support::loadedLibrary(VANTOREL_LIBRARY), world);
        std::vector<std::string> references;
        for (const Example& example : work)
            references.push_back(fingerprint(testing_support::runAction(example.library, example.action, example.model)));

        const std::size_t kThreads = 8;
        const std::size_t kRounds = 2;
        std::vector<std::string> failures(kThreads);
        std::vector<std::thread> threads;
        for (std::size_t t = 0; t < kThreads; ++t) {
            threads.emplace_back([&work, &references, &failures, t] {
                for (std::size_t i = 0; i < kRounds * work.size(); ++i) {
                    const std::size_t index = (t * 5 + i) % work.size();
                    const Example& example = work[index];
                    const Outcome run = testing_support::runAction(example.library, example.action, example.model);
                    if (fingerprint(run) != references[index] && failures[t].empty())
                        failures[t] = example.name + ":\n" + fingerprint(run) + "\n--- expected:\n" + references[index];
                }
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        for (std::size_t t = 0; t < kThreads; ++t)
            EXPECT_EQ("", failures[t]) << "thread " << t;
    }
    std::filesystem::current_path(previous);
}

#if defined(_WIN32)
// The process's heap blocks in use, over every heap it has: the host's (the
// bridge's runtime), the test program's and the libraries'.
std::size_t heapBlocksInUse()
{
    std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    std::size_t busy = 0;
    for (HANDLE heap : heaps) {
        if (!::HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (::HeapWalk(heap, &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0)
                ++busy;
        }
        ::HeapUnlock(heap);
    }
    return busy;
}

// The process's committed private memory ("private bytes"), summed over its
// address space: Wine reports no private usage of its own.
std::size_t privateBytes()
{
    std::size_t bytes = 0;
    MEMORY_BASIC_INFORMATION region = {};
    for (const char* address = nullptr; ::VirtualQuery(address, &region, sizeof(region)) == sizeof(region);
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += region.RegionSize;
    }
    return bytes;
}

// A long life in one host process: every example, as written and with the
// host failing at each call of its transcript, 200 rounds, each call through
// the way this build's host calls an action (through the Visual C++ door
// for the 32-bit DLLs). Every run gives its first round's outcome, and
// afterwards the heaps hold as many blocks as before and the process has
// grown by less than 1 MiB. Left out: the two that sleep and the two that
// start a command processor (their time is the command's, not ours).
TEST(Soak, EveryExampleAtEveryFaultPositionTwoHundredRoundsInOneProcess)
{
    // Which C++ runtime the calls go through, where that is asked.
    const std::string runtime = hosting::hostRuntime();
    if (!runtime.empty())
        std::cout << runtime << std::endl;
    const std::string examples = std::string(SOURCE_DIR) + "/examples";
    struct Case {
        actionhost::Scenario scenario;
        std::string library;
        std::string reference;
    };
    std::vector<Case> cases;
    for (Poco::DirectoryIterator it(examples), end; it != end; ++it) {
        if (!it->isFile() || Poco::Path(it->path()).getExtension() != "json")
            continue;
        actionhost::Scenario scenario = actionhost::loadScenario(it->path());
        if (scenario.action == "SleepCommand" || scenario.action.compare(0, 10, "RunCommand") == 0)
            continue;
        const std::string library = scenario.library == "cobrinth" ? COBRINTH_LIBRARY : VANTOREL_LIBRARY;
        const std::size_t positions = actionhost::runScenario(scenario, library).record.calls.size();
        cases.push_back({scenario, library, ""});
        scenario.model.faults.clear();
        for (std::size_t position = 0; position < positions; ++position) {
            scenario.model.failAtCall = static_cast<long>(position);
            cases.push_back({scenario, library, ""});
        }
    }
    ASSERT_GE(cases.size(), 24u * 2);

    // The first round sets every reference and warms what is made once
    // (the libraries loaded, the runtime's own tables).
    for (Case& c : cases) {
        const actionhost::RunOutput run = actionhost::runScenario(c.scenario, c.library);
        c.reference = fingerprint(Outcome{run.record, run.properties});
    }
    const std::size_t blocksBefore = heapBlocksInUse();
    const std::size_t bytesBefore = privateBytes();
    std::string firstDifference;
    for (int round = 1; round < 200; ++round) {
        for (const Case& c : cases) {
            const actionhost::RunOutput run = actionhost::runScenario(c.scenario, c.library);
            if (firstDifference.empty() && fingerprint(Outcome{run.record, run.properties}) != c.reference)
                firstDifference = "round " + std::to_string(round) + ", " + c.scenario.name + " failing at " +
                                  std::to_string(c.scenario.model.failAtCall);
        }
    }
    const std::size_t blocksAfter = heapBlocksInUse();
    const std::size_t bytesAfter = privateBytes();
    EXPECT_EQ("", firstDifference);
    EXPECT_EQ(blocksBefore, blocksAfter);
    EXPECT_NE(0u, bytesBefore);
    EXPECT_LT(bytesAfter, bytesBefore + (1u << 20)) << bytesBefore << " bytes before, " << bytesAfter << " after";
    std::cout << "[          ] " << cases.size() << " runs a round, 200 rounds; heap blocks " << blocksBefore << " -> "
              << blocksAfter << ", private bytes " << bytesBefore << " -> " << bytesAfter << "\n";
}
#endif

} // namespace
