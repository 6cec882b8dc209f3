// Deep and wide inputs, and many actions at once on many threads, each with
// a host of its own: the actions keep no state, so the runs must not
// interfere (run under ThreadSanitizer by the tsan preset).
#include "ActionTest.h"

#include <thread>

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

// One job per action family, each checked against its own expected answer.
struct Job {
    std::string action;
    HostModel model;
    std::wstring property;
    std::wstring expected;
};

std::vector<Job> jobs(const std::string& forwardFitFile)
{
    std::vector<Job> list;
    HostModel change;
    change.root = testing_support::feature(L"r", {testing_support::feature(L"a"), testing_support::feature(L"b")});
    change.parameters[L"State"] = L"Install";
    change.parameters[L"FeatureID"] = L"b";
    list.push_back({"ChangeFeatureState", change, L"", L""});

    HostModel compare;
    compare.parameters[L"VersionNeedToCompare"] = L"2.0-rc";
    compare.parameters[L"AllowedSuffix"] = L"RC";
    compare.parameters[L"maxVersion"] = L"2.0";
    compare.parameters[L"Property"] = L"R";
    list.push_back({"CompareVersion", compare, L"R", L"1"});

    HostModel overhang;
    overhang.parameters[L"ForwardFitDataFile"] = hosting::widen(forwardFitFile);
    overhang.parameters[L"CurrentPatchLevel"] = L"14.0.1.7";
    overhang.parameters[L"$product.id"] = L"P,14.0.3.0";
    list.push_back({"DetectOverhangingPatch", overhang, L"OverhangingPatch", L"true"});

    HostModel languages;
    languages.properties[L"$available.ui.langs"] = L"en;de;fr;ja";
    languages.parameters[L"PrioritizedLanguage"] = L"JA";
    languages.parameters[L"WriteProperty"] = L"L";
    list.push_back({"SortAvailableSetupLanguages", languages, L"L", L"JA;en;de;fr"});

    HostModel vexa;
    vexa.parameters[L"MachineName"] = L"1-a.b";
    vexa.parameters[L"PropertyId"] = L"V";
    list.push_back({"SetVexaName", vexa, L"V", L"a_b"});

    HostModel disk;
    disk.parameters[L"InstallDir"] = L"C:\\x";
    disk.parameters[L"PropIsEnoughSpace"] = L"E";
    disk.diskCosts = {{L"C:\\x", 1}};
    list.push_back({"CheckDiskCost", disk, L"E", L"1"});
    return list;
}

TEST(Concurrency, ManyActionsOnManyThreadsDoNotInterfere)
{
    testing_support::ScratchDirectory directory;
    const std::vector<Job> work = jobs(directory.write("ff.txt", "14.0.3: 14.0.1.5\n"));
    // Load the library once before the threads start.
    runVantorel("SetVexaName", work.back().model);

    const int kThreads = 8;
    const int kRounds = 25;
    std::vector<std::string> failures(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&work, &failures, t] {
            for (int round = 0; round < kRounds; ++round) {
                const Job& job = work[static_cast<std::size_t>(t + round) % work.size()];
                Outcome run = runVantorel(job.action, job.model);
                const bool ok = !run.record.exception &&
                                (job.property.empty() ? run.record.featureStates.size() == 1
                                                      : run.property(job.property) == job.expected);
                if (!ok && failures[t].empty())
                    failures[t] = job.action;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ("", failures[t]) << "thread " << t;
}

} // namespace
