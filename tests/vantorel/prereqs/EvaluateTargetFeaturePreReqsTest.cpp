// EvaluateTargetFeaturePreReqs: the reasons collected, and the flag.
#include "ActionTest.h"

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

Outcome targetPreReqs(const std::wstring& featureId, std::map<std::wstring, std::wstring> properties)
{
    HostModel model;
    model.parameters[L"FeatureID"] = featureId;
    model.properties = std::move(properties);
    model.properties[L"MissingFeaturePreReqReason"] = L"before";
    model.resolve[L"[R1]"] = L"first reason";
    return runVantorel("EvaluateTargetFeaturePreReqs", model);
}

TEST(EvaluateTargetFeaturePreReqs, CollectsReasonsWithTwoLineFeedsEach)
{
    Outcome run = targetPreReqs(L"F", {{L"$feature$F$prereqspassed", L"false"},
                                       {L"$feature$F$prereqids", L"p1;;p2;p3"},
                                       {L"$feature$prereq$F$p1$passed", L"false"},
                                       {L"$feature$prereq$F$p1$type", L"error"},
                                       {L"$feature$prereq$F$p1$reason", L"[R1]"},
                                       {L"$feature$prereq$F$p2$passed", L"false"},
                                       {L"$feature$prereq$F$p2$type", L"warning"},
                                       {L"$feature$prereq$F$p3$passed", L"false"},
                                       {L"$feature$prereq$F$p3$type", L"error"},
                                       {L"$feature$prereq$F$p3$reason", L"R2"}});
    EXPECT_EQ(0, run.result());
    EXPECT_EQ(L"1", run.property(L"HasBlockingFeaturePreReq"));
    EXPECT_EQ(L"first reason\n\nR2\n\n", run.property(L"MissingFeaturePreReqReason"));
    const Log log = run.log();
    EXPECT_EQ((std::pair<int, std::wstring>{2, L"Check pre-requisites for feature F"}), log.front());
    EXPECT_EQ((std::pair<int, std::wstring>{2, L"Reason: first reason"}), log[6]);
    EXPECT_EQ((std::pair<int, std::wstring>{2, L"MissingFeaturePreReqReason: first reason\n\nR2\n\n"}), log.back());
    for (const auto& line : log)
        EXPECT_EQ(2, line.first);
    // Both properties are written before the reasons are logged.
    EXPECT_EQ((std::vector<std::string>{"SetProperty:HasBlockingFeaturePreReq", "SetProperty:MissingFeaturePreReqReason",
                                        "Log:2"}),
              std::vector<std::string>(run.record.calls.end() - 3, run.record.calls.end()));
}

TEST(EvaluateTargetFeaturePreReqs, FlagIsSetWheneverNotAllPassed)
{
    Outcome allListedPassed = targetPreReqs(L"F", {{L"$feature$F$prereqids", L"p1"},
                                                   {L"$feature$prereq$F$p1$passed", L"true"}});
    EXPECT_EQ(L"1", allListedPassed.property(L"HasBlockingFeaturePreReq"));
    EXPECT_EQ(L"", allListedPassed.property(L"MissingFeaturePreReqReason"));

    Outcome passed = targetPreReqs(L"F", {{L"$feature$F$prereqspassed", L"true"}});
    EXPECT_EQ(0, passed.result());
    EXPECT_EQ(L"0", passed.property(L"HasBlockingFeaturePreReq"));
    EXPECT_EQ(L"before", passed.property(L"MissingFeaturePreReqReason"));
    EXPECT_EQ((std::pair<int, std::wstring>{2, L"All feature pre-reqs have passed."}), passed.log().back());
    EXPECT_EQ((std::vector<std::string>{"Log:2", "SetProperty:HasBlockingFeaturePreReq"}),
              std::vector<std::string>(passed.record.calls.end() - 2, passed.record.calls.end()));

    Outcome noFeature = targetPreReqs(L"", {{L"$feature$$prereqspassed", L"true"}});
    EXPECT_EQ(L"0", noFeature.property(L"HasBlockingFeaturePreReq"));
    EXPECT_EQ("GetPropertyText:$feature$$prereqspassed", noFeature.record.calls[2]);
}

} // namespace
