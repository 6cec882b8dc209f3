// ChangeFeatureState: state names, the walk to the first match, its log
// lines and host-call order, and faults inside and outside the walk.
#include "ActionTest.h"

using hosting::FeatureModel;
using hosting::HostModel;
using testing_support::feature;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

// root
// ├── A
// │   └── A1
// │       └── A1x
// │           └── T (depth 4 below root: deep match)
// └── B
//     └── F
FeatureModel sampleTree()
{
    return feature(L"root", {feature(L"A", {feature(L"A1", {feature(L"A1x", {feature(L"T")})})}),
                             feature(L"B", {feature(L"F")})});
}

Outcome change(const std::wstring& state, const std::wstring& id, FeatureModel tree = sampleTree(),
               std::vector<hosting::FaultEntry> faults = {})
{
    HostModel model;
    model.parameters[L"State"] = state;
    model.parameters[L"FeatureID"] = id;
    model.root = std::move(tree);
    model.faults = std::move(faults);
    return runVantorel("ChangeFeatureState", model);
}

TEST(ChangeFeatureState, StateNamesIgnoreCaseButNotBlanks)
{
    for (const wchar_t* name : {L"install", L"INSTALL", L"Install"}) {
        Outcome run = change(name, L"root");
        EXPECT_EQ(1, run.record.featureStates.at(L"root")) << hosting::narrow(name);
        EXPECT_EQ(L"state is install", run.log()[1].second);
    }
    EXPECT_EQ(2, change(L"uninstall", L"root").record.featureStates.at(L"root"));
    EXPECT_EQ(4, change(L"REPAIR", L"root").record.featureStates.at(L"root"));
    EXPECT_EQ(0, change(L"nochange", L"root").record.featureStates.at(L"root"));
}

TEST(ChangeFeatureState, UnknownStateIsAFailureAndChangesNothing)
{
    Outcome run = change(L"Install ", L"root");
    EXPECT_EQ(1, run.result());
    EXPECT_EQ((Log{{0, L"start of change features state"}, {4, L"Unknown state"}}), run.log());
    EXPECT_TRUE(run.record.featureStates.empty());
    EXPECT_EQ((std::vector<std::string>{"Log:0", "GetRootFeature", "GetParameter:State", "Log:4"}),
              run.record.calls);
}

TEST(ChangeFeatureState, MatchAtTheRootVisitsNoChild)
{
    Outcome run = change(L"Install", L"root");
    EXPECT_EQ(0, run.result());
    EXPECT_EQ((Log{{0, L"start of change features state"},
                   {0, L"state is install"},
                   {0, L"featureId is root"},
                   {0, L"start of changefeaturestatehelper: root"},
                   {0, L"changed state of root"},
                   {2, L"successfully exiting ChangeFeatureState"}}),
              run.log());
    EXPECT_EQ((std::vector<std::string>{"Log:0", "GetRootFeature", "GetParameter:State", "Log:0",
                                        "GetParameter:FeatureID", "Log:0", "root.GetId", "Log:0", "root.GetId",
                                        "root.SetRequestedState:1", "Log:0", "Log:2"}),
              run.record.calls);
}

TEST(ChangeFeatureState, MatchInSecondChildLogsTheWalkAndOneLineUp)
{
    FeatureModel tree = feature(L"root", {feature(L"A", {feature(L"A1")}), feature(L"F")});
    Outcome run = change(L"Uninstall", L"F", tree);
    EXPECT_EQ((std::vector<std::wstring>{L"start of change features state", L"state is uninstall", L"featureId is F",
                                         L"start of changefeaturestatehelper: root", L"current feature is A",
                                         L"start of changefeaturestatehelper: A", L"current feature is A1",
                                         L"start of changefeaturestatehelper: A1", L"current feature is F",
                                         L"start of changefeaturestatehelper: F", L"changed state of F",
                                         L"changed state ofF", L"successfully exiting ChangeFeatureState"}),
              run.logTexts());
    EXPECT_EQ((std::map<std::wstring, int>{{L"F", 2}}), run.record.featureStates);
    // Per node: two GetId, then GetChildren twice (children) or once (none).
    const std::vector<std::string> expectedNodeCalls = {
        "root.GetId", "root.GetId", "root.GetChildren", "root.GetChildren", "A.GetId", "A.GetId", "A.GetId",
        "A.GetChildren", "A.GetChildren", "A1.GetId", "A1.GetId", "A1.GetId", "A1.GetChildren", "F.GetId",
        "F.GetId", "F.GetId", "F.SetRequestedState:2"};
    std::vector<std::string> nodeCalls;
    for (const std::string& call : run.record.calls)
        if (call.find('.') != std::string::npos)
            nodeCalls.push_back(call);
    EXPECT_EQ(expectedNodeCalls, nodeCalls);
}

TEST(ChangeFeatureState, DeepMatchLogsOneLineWithoutBlankPerAncestor)
{
    Outcome run = change(L"Repair", L"T");
    const std::vector<std::wstring> texts = run.logTexts();
    std::vector<std::wstring> tail(texts.end() - 6, texts.end());
    EXPECT_EQ((std::vector<std::wstring>{L"changed state of T", L"changed state ofT", L"changed state ofT",
                                         L"changed state ofT", L"changed state ofT",
                                         L"successfully exiting ChangeFeatureState"}),
              tail);
    // B and F are never visited.
    for (const std::string& call : run.record.calls)
        EXPECT_NE(0u, call.rfind("B.", 0)) << call;
}

TEST(ChangeFeatureState, OnlyTheFirstOfDuplicatesAndOnlyExactCase)
{
    FeatureModel tree = feature(L"root", {feature(L"X", {feature(L"F")}), feature(L"F")});
    Outcome run = change(L"Install", L"F", tree);
    EXPECT_EQ(1u, run.record.featureStates.size());
    std::size_t sets = 0;
    for (const std::string& call : run.record.calls)
        sets += call == "F.SetRequestedState:1";
    EXPECT_EQ(1u, sets);
    EXPECT_EQ(L"changed state ofF", run.logTexts()[run.logTexts().size() - 3]);
    EXPECT_EQ(L"changed state ofF", run.logTexts()[run.logTexts().size() - 2]);

    Outcome caseDiffers = change(L"Install", L"f", tree);
    EXPECT_EQ(0, caseDiffers.result());
    EXPECT_TRUE(caseDiffers.record.featureStates.empty());
}

TEST(ChangeFeatureState, SingleNodeWithoutMatch)
{
    Outcome run = change(L"Install", L"missing", feature(L"only"));
    EXPECT_EQ(0, run.result());
    EXPECT_EQ((std::vector<std::string>{"Log:0", "GetRootFeature", "GetParameter:State", "Log:0",
                                        "GetParameter:FeatureID", "Log:0", "only.GetId", "Log:0", "only.GetId",
                                        "only.GetChildren", "Log:2"}),
              run.record.calls);
}

TEST(ChangeFeatureState, FaultInsideTheWalkIsCaughtAndStatesStaySet)
{
    FeatureModel tree = feature(L"root", {feature(L"F"), feature(L"B")});
    // The first match sets F; the walk is then made to fail in a new run at B.
    Outcome run = change(L"Install", L"B", tree, {"B.GetChildren", "F.GetChildren"});
    EXPECT_EQ(1, run.result());
    EXPECT_EQ((std::pair<int, std::wstring>{4, L"ChangeFeatureState crashed"}), run.log().back());
    EXPECT_TRUE(run.record.featureStates.empty());

    Outcome afterSet = change(L"Install", L"F", tree, {"Log:2"});
    // The closing line lies outside the catch-all: its fault reaches the host,
    // and the state already set stays set.
    EXPECT_TRUE(afterSet.record.exception);
    EXPECT_EQ(1, afterSet.record.featureStates.at(L"F"));

    Outcome opening = change(L"Install", L"F", tree, {"Log:0"});
    EXPECT_TRUE(opening.record.exception);
    EXPECT_EQ(1u, opening.record.calls.size());
}

} // namespace
