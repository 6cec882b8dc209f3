// DisplayFeatureInstallingState: a line per node with its state texts, and
// the crash line.
#include "ActionTest.h"

using hosting::FeatureModel;
using hosting::HostModel;
using testing_support::feature;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

Outcome display(FeatureModel tree, std::vector<hosting::FaultEntry> faults = {})
{
    return testing_support::runOnTree("DisplayFeatureInstallingState", std::move(tree), std::move(faults));
}

TEST(DisplayFeatureInstallingState, OneIndentedLinePerNodeAfterTheWalk)
{
    FeatureModel tree = feature(L"root", {feature(L"A", {feature(L"A1")}), feature(L"B")});
    tree.installing = 1;
    tree.children[0].installed = 1;
    tree.children[0].installing = 3;
    tree.children[0].marker = 2;
    tree.children[0].children[0].installed = 9;
    tree.children[0].children[0].installing = 5;
    tree.children[0].children[0].marker = 1;
    tree.children[1].installed = 5;
    tree.children[1].installing = -1;
    Outcome run = display(tree);
    EXPECT_EQ(0, run.result());
    EXPECT_EQ((Log{{2, L"[DisplayFeatureInstallingState] display feature selection"},
                   {2, L"root: absent to install"},
                   {2, L" A: installed to unknown_instance*"},
                   {2, L"  A1: UNKNOWN InstalledState, should't be happened to patch"},
                   {2, L" B: install_incomplete to UNKNOWN InstallingState, should't be happened"}}),
              run.log());
    // The whole walk comes before the first log line. A node with children
    // is asked for them twice, a leaf once.
    std::vector<std::string> walk{"GetRootFeature"};
    for (const char* node : {"root", "A", "A1", "B"}) {
        for (const char* call : {".GetId", ".GetInstalledState", ".GetInstallingState:1", ".GetMarkerState",
                                 ".GetChildren"})
            walk.push_back(node + std::string(call));
        if (node == std::string("root") || node == std::string("A"))
            walk.push_back(node + std::string(".GetChildren"));
    }
    walk.insert(walk.end(), 5, "Log:2");
    EXPECT_EQ(walk, run.record.calls);
}

TEST(DisplayFeatureInstallingState, AllStateTexts)
{
    const wchar_t* installed[] = {L"absent", L"installed", L"unknown_instance", L"broken", L"corrupt_inventory",
                                  L"install_incomplete"};
    const wchar_t* installing[] = {L"nochange", L"install", L"uninstall", L"unknown_instance", L"repair", L"patch"};
    for (int code = 0; code < 6; ++code) {
        FeatureModel node = feature(L"n");
        node.installed = code;
        node.installing = code;
        EXPECT_EQ(std::wstring(L"n: ") + installed[code] + L" to " + installing[code], display(node).log()[1].second);
    }
}

TEST(DisplayFeatureInstallingState, CrashLineIsLevelTwo)
{
    FeatureModel tree = feature(L"root", {feature(L"A"), feature(L"B")});
    Outcome walk = display(tree, {"B.GetMarkerState"});
    EXPECT_EQ(1, walk.result());
    EXPECT_EQ((Log{{2, L"[DisplayFeatureInstallingState] crashed"}}), walk.log());

    // A fault while logging the second feature line leaves the lines logged so far.
    HostModel model;
    model.root = tree;
    const std::vector<std::string> calls = runVantorel("DisplayFeatureInstallingState", model).record.calls;
    model.failAtCall = static_cast<long>(calls.size() - 2);
    Outcome logging = runVantorel("DisplayFeatureInstallingState", model);
    EXPECT_EQ(1, logging.result());
    EXPECT_EQ((Log{{2, L"[DisplayFeatureInstallingState] display feature selection"},
                   {2, L"root: absent to nochange"},
                   {2, L"[DisplayFeatureInstallingState] crashed"}}),
              logging.log());
}

} // namespace
