// The simulated host: answers, transcript and fault injection.
#include "ActionTest.h"

#include "host/InstallException.h"

#include <boost/make_shared.hpp>

#include <stdexcept>

using hosting::HostModel;
using testing_support::feature;

namespace {

// A small action of the test's own that touches every kind of host call.
int touchEverything(ActionContextPtr context)
{
    context->Log(2, L"start");
    std::wstring a = *context->GetParameter(L"A");
    std::wstring p = *context->GetParameter(L"P");
    std::wstring missing = *context->GetParameter(L"missing");
    context->SetProperty(L"Out", a + L"|" + p + L"|" + missing);
    std::wstring text = context->GetPropertyText(L"Out");
    context->SetProperty(L"Resolved", context->ResolveText(L"[X]", L"") + context->ResolveText(L"plain", L""));
    IFeature::Ptr root = context->GetRootFeature();
    root->GetId();
    for (const IFeature::Ptr& child : *root->GetChildren()) {
        int state = 0;
        child->GetInstallingState(1, state);
        child->SetRequestedState(state);
    }
    context->GetDiskCostList();
    context->Log(4, text);
    return 0;
}

HostModel sampleModel()
{
    HostModel model;
    model.parameters[L"A"] = L"a";
    model.properties[L"P"] = L"p";
    model.resolve[L"[X]"] = L"x";
    model.root = feature(L"R", {feature(L"C1"), feature(L"C2")});
    model.root.children[1].installing = 4;
    return model;
}

hosting::RunRecord run(const HostModel& model)
{
    hosting::SimulatedHost host(model);
    host.run(touchEverything);
    return host.record();
}

TEST(SimulatedHost, AnswersAndRecordsEveryCallInOrder)
{
    hosting::SimulatedHost host(sampleModel());
    host.run(touchEverything);
    const hosting::RunRecord& record = host.record();
    EXPECT_EQ(0, record.result);
    EXPECT_FALSE(record.exception);
    EXPECT_EQ((std::vector<std::string>{
                  "Log:2", "GetParameter:A", "GetParameter:P", "GetParameter:missing", "SetProperty:Out",
                  "GetPropertyText:Out", "ResolveText", "ResolveText", "SetProperty:Resolved", "GetRootFeature",
                  "R.GetId", "R.GetChildren", "C1.GetInstallingState:1", "C1.SetRequestedState:0",
                  "C2.GetInstallingState:1", "C2.SetRequestedState:4", "GetDiskCostList", "Log:4"}),
              record.calls);
    EXPECT_EQ(L"a|p|", host.properties().at(L"Out"));
    EXPECT_EQ(L"xplain", host.properties().at(L"Resolved"));
    EXPECT_EQ(L"p", host.properties().at(L"P"));
    EXPECT_EQ(2u, record.writes.size());
    EXPECT_EQ(0, record.featureStates.at(L"C1"));
    EXPECT_EQ(4, record.featureStates.at(L"C2"));
    ASSERT_EQ(2u, record.log.size());
    EXPECT_EQ(L"a|p|", record.log[1].text);
}

TEST(SimulatedHost, ThrowsAtTheFirstMatchingCallOnly)
{
    HostModel model = sampleModel();
    model.faults = {"C2.SetRequestedState"};
    hosting::RunRecord record = run(model);
    EXPECT_TRUE(record.exception);
    EXPECT_EQ("simulated host fault at C2.SetRequestedState:4", record.exceptionText);
    // The throwing call is recorded, and nothing after it happened.
    EXPECT_EQ("C2.SetRequestedState:4", record.calls.back());
    EXPECT_EQ(0u, record.featureStates.count(L"C2"));
    EXPECT_EQ(1u, record.featureStates.count(L"C1"));
    EXPECT_EQ(std::vector<std::size_t>{record.calls.size() - 1}, record.faultPositions);

    model.faults = {"GetParameter:P"};
    record = run(model);
    EXPECT_EQ(3u, record.calls.size());
    EXPECT_TRUE(record.writes.empty());
}

// Which calls of a transcript the entries fire at, and which never fire,
// with the number of calls that matched them.
TEST(SimulatedHost, FaultEntriesFireAtTheirOccurrence)
{
    using hosting::FaultEntry;
    const std::vector<std::string> calls = {"Log:2", "Log:0", "Log:2", "Log:2", "X.GetId"};
    struct Case {
        std::vector<FaultEntry> faults;
        std::vector<std::size_t> firedAt;
        std::vector<std::pair<FaultEntry, std::size_t> > unfired;
    };
    const Case cases[] = {
        {{"Log:2"}, {0}, {}},
        // A plain entry given twice fires at the next matching call too.
        {{"Log:2", "Log:2"}, {0, 2}, {}},
        {{FaultEntry("Log:2", 3)}, {3}, {}},
        {{FaultEntry("Log", 2)}, {1}, {}},
        {{FaultEntry("Log:2", 2), "Log:2"}, {0, 2}, {}},
        // The first matching call is taken by the plain entry before it.
        {{"Log:2", FaultEntry("Log:2", 1)}, {0}, {{FaultEntry("Log:2", 1), 3}}},
        // Past the last matching call.
        {{FaultEntry("Log:2", 4)}, {}, {{FaultEntry("Log:2", 4), 3}}},
        {{"GetRootFeature"}, {}, {{FaultEntry("GetRootFeature"), 0}}},
    };
    for (const Case& c : cases) {
        hosting::FaultPlan plan(c.faults);
        std::vector<std::size_t> fired;
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (plan.fire(calls[i]))
                fired.push_back(i);
        }
        EXPECT_EQ(c.firedAt, fired) << c.faults.front().shown();
        EXPECT_EQ(c.unfired, plan.unfired()) << c.faults.front().shown();
        EXPECT_EQ(c.unfired, hosting::unfiredFaults(c.faults, calls));
    }
}

TEST(SimulatedHost, ThrowsAtAChosenTranscriptPosition)
{
    const std::size_t total = run(sampleModel()).calls.size();
    for (std::size_t position = 0; position < total; ++position) {
        HostModel model = sampleModel();
        model.failAtCall = static_cast<long>(position);
        hosting::RunRecord record = run(model);
        EXPECT_TRUE(record.exception) << position;
        EXPECT_EQ(position + 1, record.calls.size()) << position;
    }
}

TEST(SimulatedHost, ServesTheSetupCoreLayoutFromTheSameTree)
{
    hosting::SimulatedHost host(sampleModel());
    ActionContextPtr context = host.context();
    setupcore::IProductContext* product = dynamic_cast<setupcore::IProductContext*>(context.get());
    ASSERT_NE(nullptr, product);
    setupcore::IFeature::Ptr root = product->GetRootFeature();
    EXPECT_EQ(L"R", *root->GetId());
    setupcore::IFeature::ListPtr children = root->GetChildren();
    ASSERT_EQ(2u, children->size());
    (*children)[1]->SetRequestedState(2);
    EXPECT_EQ(2, host.record().featureStates.at(L"C2"));
    EXPECT_EQ((std::vector<std::string>{"GetRootFeature", "R.GetId", "R.GetChildren", "C2.SetRequestedState:2"}),
              host.record().calls);
}

TEST(SimulatedHost, UnservedSlotsThrowInsteadOfAnsweringSilently)
{
    hosting::SimulatedHost host(sampleModel());
    ActionContextPtr context = host.context();
    EXPECT_THROW(context->ReservedHost1(), std::logic_error);
    EXPECT_THROW(context->GetRootFeature()->ReservedFeature2(), std::logic_error);
}

TEST(ActionLibrary, ReportsMissingLibrariesAndExports)
{
    EXPECT_THROW(hosting::ActionLibrary("/nonexistent/libnothing.so"), std::runtime_error);
    hosting::ActionLibrary library(VANTOREL_LIBRARY);
    EXPECT_NE(nullptr, library.find("SleepCommand"));
    EXPECT_EQ(nullptr, library.find("NoSuchAction"));
    EXPECT_EQ(nullptr, library.find("utf8FromWide"));
}

// Exceptions between host and library: each module of the Windows build has
// the same GCC runtime, so they unwind across the boundary in both
// directions and keep their types, as they do natively.
class ThrowingHost final : public testing_support::StubContext {
public:
    void Log(int, const std::wstring&) override { throw InstallException(7); }
    WideTextPtr GetParameter(const std::wstring&) override { return WideTextPtr(new std::wstring(L"0")); }
    IFeature::Ptr GetRootFeature() override { throw std::runtime_error("no feature tree here"); }
};

TEST(ExceptionsAcrossModules, LibraryExceptionsReachTheHostWithTheirTypes)
{
    hosting::ActionLibrary library(TEST_ACTIONS_LIBRARY);
    hosting::SimulatedHost host{HostModel()};
    try {
        library.find("ThrowInstallException")(host.context());
        FAIL() << "the exception was lost";
    } catch (const InstallException& caught) {
        EXPECT_EQ(7, caught.code());
        EXPECT_STREQ("InstallException thrown", caught.what());
    }
    try {
        library.find("ThrowRuntimeError")(host.context());
        FAIL() << "the exception was lost";
    } catch (const std::runtime_error& caught) {
        EXPECT_STREQ("thrown in the library", caught.what());
    }
    EXPECT_EQ(2u, host.record().log.size());
}

TEST(ExceptionsAcrossModules, HostExceptionsPassThroughOrMeetTheCatchAll)
{
    hosting::ActionLibrary library(VANTOREL_LIBRARY);
    // SleepCommand has no handler: the host's own exception comes back to it.
    try {
        library.find("SleepCommand")(boost::make_shared<ThrowingHost>());
        FAIL() << "the exception was lost";
    } catch (const InstallException& caught) {
        EXPECT_EQ(7, caught.code());
    }
    // ChangeFeatureState logs its first line outside its catch-all: a fault
    // there is passed on too.
    try {
        library.find("ChangeFeatureState")(boost::make_shared<ThrowingHost>());
        FAIL() << "the exception was lost";
    } catch (const InstallException& caught) {
        EXPECT_EQ(7, caught.code());
    }
    // With a host that throws at one call only, the catch-all ends the action.
    HostModel model;
    model.parameters[L"FeatureID"] = L"root";
    model.parameters[L"State"] = L"Install";
    model.faults = {"GetRootFeature"};
    hosting::SimulatedHost host(model);
    EXPECT_EQ(1, library.find("ChangeFeatureState")(host.context()));
    EXPECT_EQ(4, host.record().log.back().level);
    EXPECT_EQ(L"ChangeFeatureState crashed", host.record().log.back().text);
    EXPECT_FALSE(host.record().exception);
}

} // namespace
