// EvaluateFeaturePreReqs: the walk that stops at the first disabled node.
#include "ActionTest.h"

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

TEST(EvaluateFeaturePreReqs, StopsAtTheFirstDisabledNode)
{
    HostModel model;
    model.root = testing_support::feature(
        L"root", {testing_support::feature(L"A"), testing_support::feature(L"B", {testing_support::feature(L"B1")}),
                  testing_support::feature(L"C")});
    Outcome enabled = runVantorel("EvaluateFeaturePreReqs", model);
    EXPECT_EQ(L"0", enabled.property(L"HasDisabledFeature"));
    EXPECT_EQ(10u, enabled.log().size());
    EXPECT_EQ(L"Check enabled state of: B1", enabled.log()[6].second);

    model.root.children[1].enabled = false;
    Outcome disabled = runVantorel("EvaluateFeaturePreReqs", model);
    EXPECT_EQ(0, disabled.result());
    EXPECT_EQ(L"1", disabled.property(L"HasDisabledFeature"));
    EXPECT_EQ((Log{{2, L"Check enabled state of: root"}, {2, L"isenabled: true"},
                   {2, L"Check enabled state of: A"},    {2, L"isenabled: true"},
                   {2, L"Check enabled state of: B"},    {2, L"isenabled: false"}}),
              disabled.log());
    EXPECT_EQ((std::vector<std::string>{"GetRootFeature", "root.GetId", "Log:2", "root.IsEnabled", "Log:2",
                                        "root.GetChildren", "A.GetId", "Log:2", "A.IsEnabled", "Log:2",
                                        "A.GetChildren", "B.GetId", "Log:2", "B.IsEnabled", "Log:2",
                                        "SetProperty:HasDisabledFeature"}),
              disabled.record.calls);
}

} // namespace
