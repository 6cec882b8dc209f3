// SetFeatureStateToDefault: every node from its default, in pre-order, and
// what a fault leaves set.
#include "ActionTest.h"

using hosting::FeatureModel;
using testing_support::feature;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

Outcome resetDefaults(FeatureModel tree, std::vector<hosting::FaultEntry> faults = {})
{
    return testing_support::runOnTree("SetFeatureStateToDefault", std::move(tree), std::move(faults));
}

TEST(SetFeatureStateToDefault, SetsEveryNodeFromItsDefaultInPreOrder)
{
    FeatureModel tree = feature(L"root", {feature(L"A", {feature(L"A1")}), feature(L"B")});
    tree.defaultState = 1;
    tree.children[0].defaultState = 2;
    tree.children[0].children[0].defaultState = 1;
    Outcome run = resetDefaults(tree);
    EXPECT_EQ(0, run.result());
    EXPECT_EQ((Log{{2, L"[SetFeatureStateToDefault] set all features state to default"},
                   {2, L"[SetFeatureStateToDefaultHelper] root"},
                   {2, L"[SetFeatureStateToDefaultHelper] A"},
                   {2, L"[SetFeatureStateToDefaultHelper] A1"},
                   {2, L"[SetFeatureStateToDefaultHelper] B"},
                   {2, L"[SetFeatureStateToDefault] success"}}),
              run.log());
    EXPECT_EQ((std::map<std::wstring, int>{{L"root", 1}, {L"A", 0}, {L"A1", 1}, {L"B", 0}}),
              run.record.featureStates);
    EXPECT_EQ((std::vector<std::string>{"Log:2", "GetRootFeature", "root.GetDefaultState", "root.GetId", "Log:2",
                                        "root.SetRequestedState:1", "root.GetChildren", "A.GetDefaultState"}),
              std::vector<std::string>(run.record.calls.begin(), run.record.calls.begin() + 8));
}

TEST(SetFeatureStateToDefault, FaultInSecondChildKeepsEarlierStates)
{
    FeatureModel tree = feature(L"root", {feature(L"A", {feature(L"A1")}), feature(L"B"), feature(L"C")});
    Outcome run = resetDefaults(tree, {"B.GetId"});
    EXPECT_EQ(1, run.result());
    EXPECT_EQ((std::pair<int, std::wstring>{4, L"[SetFeatureStateToDefault] crashed"}), run.log().back());
    EXPECT_EQ((std::map<std::wstring, int>{{L"root", 0}, {L"A", 0}, {L"A1", 0}}), run.record.featureStates);

    EXPECT_TRUE(resetDefaults(tree, {"Log:2"}).record.exception);
}

} // namespace
