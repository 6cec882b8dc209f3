// SetVexaName: the Vexa name made from the host name, and its default.
#include "ActionTest.h"

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

TEST(SetVexaName, KeepsFromTheFirstAsciiLetterAndReplacesHyphensAndDots)
{
    const struct {
        const wchar_t* machine;
        const wchar_t* expected;
    } cases[] = {{L"WS-BUILD.SITE1", L"WS_BUILD_SITE1"}, {L"123-node7", L"node7"}, {L"a--b..c", L"a__b__c"},
                 {L"Node_1 x", L"Node_1 x"}, {L"\u00E9t\u00E9-1", L"t\u00E9_1"}};
    for (const auto& c : cases) {
        HostModel model;
        model.parameters[L"MachineName"] = c.machine;
        model.parameters[L"PropertyId"] = L"NAME";
        Outcome run = runVantorel("SetVexaName", model);
        EXPECT_EQ(c.expected, run.property(L"NAME")) << hosting::narrow(c.machine);
        EXPECT_TRUE(run.log().empty());
        EXPECT_EQ((std::vector<std::string>{"GetParameter:MachineName", "GetParameter:PropertyId", "SetProperty:NAME"}),
                  run.record.calls);
    }
    for (const wchar_t* machine : {L"42", L"", L"\u00E9-1"}) {
        HostModel model;
        model.parameters[L"MachineName"] = machine;
        model.parameters[L"PropertyId"] = L"NAME";
        Outcome run = runVantorel("SetVexaName", model);
        EXPECT_EQ(L"VexaName", run.property(L"NAME"));
        EXPECT_EQ((Log{{2, L"host name cannot be converted to valid Vexa name. Using default VexaName"}}), run.log());
    }
}

} // namespace
