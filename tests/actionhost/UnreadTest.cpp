// The parameters a scenario gives and the action never asks for.
#include "ActionTest.h"

#include "Unread.h"

namespace {

actionhost::Scenario scenarioOf(const std::string& action, std::map<std::wstring, std::wstring> parameters,
                                std::map<std::wstring, std::wstring> properties = {})
{
    return actionhost::adHocScenario("vantorel", action, parameters, properties);
}

TEST(UnreadParameters, AMisspeltNameIsNamedWithWhatTheActionAskedFor)
{
    const auto scenario = scenarioOf("SetVexaName", {{L"MachineNam", L"42-ws"}, {L"PropertyId", L"NAME"}},
                                     {{L"Unused", L"x"}});
    // Asked twice, listed once, in the order first asked; properties are
    // never named, whatever the action did with them.
    const std::vector<std::string> calls = {"GetParameter:MachineName", "Log:2", "GetParameter:PropertyId",
                                            "GetParameter:MachineName", "SetProperty:NAME"};
    EXPECT_EQ((std::vector<std::string>{"parameter \"MachineNam\" was not read in this run; SetVexaName read: "
                                        "MachineName (not given), PropertyId"}),
              actionhost::unreadParameters(scenario, calls));
}

TEST(UnreadParameters, NothingToSayWhenEveryParameterWasAskedFor)
{
    const auto scenario = scenarioOf("SleepCommand", {{L"Seconds", L"1"}});
    EXPECT_TRUE(actionhost::unreadParameters(scenario, {"GetParameter:Seconds", "Log:2"}).empty());
    EXPECT_TRUE(actionhost::unreadParameters(scenarioOf("SleepCommand", {}), {"GetParameter:Seconds"}).empty());
}

TEST(UnreadParameters, AValueFromThePropertiesIsGivenAndAnActionThatAskedNothingSaysSo)
{
    // $available.ui.langs is asked as a parameter and answered from the
    // properties: given. PrioritizedLanguage is not.
    const auto sort = scenarioOf("SortAvailableSetupLanguages", {{L"WriteProperty", L"L"}, {L"Extra", L""}},
                                 {{L"$available.ui.langs", L"en"}});
    EXPECT_EQ((std::vector<std::string>{"parameter \"Extra\" was not read in this run; SortAvailableSetupLanguages "
                                        "read: $available.ui.langs, PrioritizedLanguage (not given), WriteProperty"}),
              actionhost::unreadParameters(sort, {"GetParameter:$available.ui.langs",
                                                  "GetParameter:PrioritizedLanguage", "GetParameter:WriteProperty"}));

    const auto reset = scenarioOf("SetFeatureStateToDefault", {{L"A", L""}, {L"B", L""}});
    EXPECT_EQ((std::vector<std::string>{
                  "parameter \"A\" was not read in this run; SetFeatureStateToDefault read no parameter",
                  "parameter \"B\" was not read in this run; SetFeatureStateToDefault read no parameter"}),
              actionhost::unreadParameters(reset, {"Log:2", "GetRootFeature"}));
}

TEST(UnreadParameters, ARunWithoutTranscriptUsesTheNamesItKept)
{
    const auto scenario = scenarioOf("SetVexaName", {{L"MachineNam", L"x"}});
    hosting::RunRecord record;
    record.parametersAsked = {L"MachineName", L"PropertyId"};
    EXPECT_EQ((std::vector<std::string>{"parameter \"MachineNam\" was not read in this run; SetVexaName read: "
                                        "MachineName (not given), PropertyId (not given)"}),
              actionhost::unreadParameters(scenario, record));
}

} // namespace
