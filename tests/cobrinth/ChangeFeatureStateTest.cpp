// The setup-core library's ChangeFeatureState, on the earlier feature layout
// and the product context.
#include "ActionTest.h"

using hosting::HostModel;
using testing_support::feature;
using testing_support::Outcome;
using testing_support::runCobrinth;

namespace {

Outcome change(const std::wstring& state, const std::wstring& id, std::vector<hosting::FaultEntry> faults = {})
{
    HostModel model;
    model.parameters[L"State"] = state;
    model.parameters[L"FeatureId"] = id;
    model.parameters[L"FeatureID"] = L"not read";
    model.root = feature(L"root", {feature(L"A", {feature(L"A1", {feature(L"A2", {feature(L"T")})})}), feature(L"B")});
    model.faults = std::move(faults);
    return runCobrinth("ChangeFeatureState", model);
}

TEST(SetupCoreChangeFeatureState, ExactStateNamesWithoutRepair)
{
    Outcome run = change(L"Install", L"T");
    EXPECT_EQ(0, run.result());
    EXPECT_EQ(1, run.record.featureStates.at(L"T"));
    const std::vector<std::wstring> texts = run.logTexts();
    EXPECT_EQ((std::vector<std::wstring>{L"changed state of T", L"changed state ofT", L"changed state ofT",
                                         L"changed state ofT", L"changed state ofT",
                                         L"successfully exiting ChangeFeatureState"}),
              std::vector<std::wstring>(texts.end() - 6, texts.end()));
    EXPECT_EQ((std::vector<std::string>{"Log:0", "GetRootFeature", "GetParameter:State", "Log:0",
                                        "GetParameter:FeatureId", "Log:0", "root.GetId", "Log:0", "root.GetId",
                                        "root.GetChildren", "root.GetChildren", "A.GetId"}),
              std::vector<std::string>(run.record.calls.begin(), run.record.calls.begin() + 12));
    EXPECT_EQ(2, change(L"Uninstall", L"B").record.featureStates.at(L"B"));
    EXPECT_EQ(0, change(L"NoChange", L"B").record.featureStates.at(L"B"));

    for (const wchar_t* state : {L"install", L"Repair", L""}) {
        Outcome unknown = change(state, L"B");
        EXPECT_EQ(1, unknown.result());
        EXPECT_EQ((std::pair<int, std::wstring>{4, L"state is not uninstall nor install"}), unknown.log().back());
        EXPECT_TRUE(unknown.record.featureStates.empty());
    }
}

TEST(SetupCoreChangeFeatureState, EveryFaultIsCaught)
{
    for (const char* fault : {"Log:0", "A1.GetChildren", "Log:2"}) {
        Outcome run = change(L"Install", L"T", {fault});
        EXPECT_EQ(1, run.result()) << fault;
        EXPECT_FALSE(run.record.exception) << fault;
        EXPECT_EQ((std::pair<int, std::wstring>{4, L"ChangeFeatureState crashed"}), run.log().back()) << fault;
    }
}

// A context that is an IActionContext and nothing more.
class PlainContext final : public testing_support::StubContext {
public:
    std::vector<std::wstring> lines;
    void Log(int, const std::wstring& text) override { lines.push_back(text); }
    WideTextPtr GetParameter(const std::wstring&) override { return WideTextPtr(new std::wstring(L"Install")); }
};

TEST(SetupCoreChangeFeatureState, ContextWithoutProductSideIsACrashNotANullDereference)
{
    hosting::ActionLibrary library(COBRINTH_LIBRARY);
    boost::shared_ptr<PlainContext> context(new PlainContext);
    EXPECT_EQ(1, library.find("ChangeFeatureState")(context));
    EXPECT_EQ((std::vector<std::wstring>{L"start of change features state", L"ChangeFeatureState crashed"}),
              context->lines);
}

} // namespace
