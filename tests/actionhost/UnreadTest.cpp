// What a scenario gives and the run never uses: parameters the action never
// asks for, faults that fire at no call.
#include "ActionTest.h"

#include "run/Unread.h"

namespace {

typedef std::vector<std::pair<std::string, bool> > Lines;  // line, fails --strict

actionhost::Scenario scenarioOf(const std::string& action, std::map<std::wstring, std::wstring> parameters,
                                std::map<std::wstring, std::wstring> properties = {},
                                const std::string& library = "vantorel")
{
    return actionhost::adHocScenario(library, action, parameters, properties);
}

Lines linesOf(const std::vector<actionhost::Unused>& unused)
{
    Lines lines;
    for (const actionhost::Unused& one : unused)
        lines.emplace_back(one.line, one.failsStrict);
    return lines;
}

TEST(UnreadParameters, ANameTheActionNeverReadsFailsStrictAndListsItsParameters)
{
    const auto scenario = scenarioOf("SetVexaName", {{L"MachineNam", L"42-ws"}, {L"PropertyId", L"NAME"}},
                                     {{L"Unused", L"x"}});
    // Properties are never named, whatever the action did with them.
    const std::vector<std::string> calls = {"GetParameter:MachineName", "Log:2", "GetParameter:PropertyId",
                                            "GetParameter:MachineName", "SetProperty:NAME"};
    EXPECT_EQ((Lines{{"SetVexaName has no parameter \"MachineNam\"; its parameters: MachineName, PropertyId", true}}),
              linesOf(actionhost::unreadParameters(scenario, calls)));
    EXPECT_EQ((Lines{{"SetFeatureStateToDefault has no parameter \"A\"; it reads no parameter", true}}),
              linesOf(actionhost::unreadParameters(scenarioOf("SetFeatureStateToDefault", {{L"A", L""}}),
                                                   {"Log:2", "GetRootFeature"})));
}

TEST(UnreadParameters, ANameReadOnAnotherPathIsOnlyInformation)
{
    // A fault at the first parameter ends ChangeFeatureState before it asks
    // for FeatureID, which it reads on its ordinary path. The names it did
    // ask for are listed once, in order, marked when the scenario lacks them.
    const auto change = scenarioOf("ChangeFeatureState", {{L"State", L"Install"}, {L"FeatureID", L"A"}});
    EXPECT_EQ((Lines{{"parameter \"FeatureID\" was not read in this run; ChangeFeatureState read: State", false}}),
              linesOf(actionhost::unreadParameters(change, {"Log:0", "GetRootFeature", "GetParameter:State",
                                                            "GetParameter:State"})));
    // A family matches by its fixed parts; a value from the properties is given.
    const auto level = scenarioOf("GetProductPatchLevel", {{L"$du$product$installedrevision", L"1.0.0.0"}},
                                  {{L"ProductDUId", L"product"}});
    EXPECT_EQ((Lines{{"parameter \"$du$product$installedrevision\" was not read in this run; GetProductPatchLevel "
                      "read: ProductDUId, ProductFamilyDUId (not given)",
                      false}}),
              linesOf(actionhost::unreadParameters(level, {"GetParameter:ProductDUId",
                                                           "GetParameter:ProductFamilyDUId"})));
    EXPECT_TRUE(actionhost::unreadParameters(scenarioOf("SleepCommand", {{L"Seconds", L"1"}}),
                                             {"GetParameter:Seconds", "Log:2"})
                    .empty());
}

TEST(UnreadParameters, ALibraryGivenByPathHasNoCatalogueSoAnyNameNotReadFailsStrict)
{
    const auto scenario = scenarioOf("SetVexaName", {{L"MachineNam", L"x"}}, {}, "lib/custom.so");
    hosting::RunRecord record;  // a run that kept the names, not the transcript
    record.parametersAsked = {L"MachineName", L"PropertyId"};
    EXPECT_EQ((Lines{{"parameter \"MachineNam\" was not read in this run; SetVexaName read: MachineName (not given), "
                      "PropertyId (not given)",
                      true}}),
              linesOf(actionhost::unreadParameters(scenario, record)));
}

TEST(UnfiredFaults, EachEntryThatFiredAtNoCallIsNamedWithTheNearestCallsMade)
{
    auto scenario = scenarioOf("SetVexaName", {});
    // "Log" fires at the first Log call of any level; "GetParameter:PropertyId"
    // given twice fires once, as the action asks once.
    scenario.model.faults = {"GetParameter:MachineNam", "Log", "GetParameter:PropertyId", "GetParameter:PropertyId"};
    const std::vector<std::string> calls = {"GetParameter:MachineName", "GetParameter:PropertyId", "Log:4"};
    EXPECT_EQ((Lines{{"fault \"GetParameter:MachineNam\" never fired in this run; nearest calls made: "
                      "GetParameter:MachineName, GetParameter:PropertyId, Log:4",
                      true},
                     {"fault \"GetParameter:PropertyId\" never fired in this run; nearest calls made: "
                      "GetParameter:PropertyId, GetParameter:MachineName, Log:4",
                      true}}),
              linesOf(actionhost::unfiredFaultLines(scenario, calls)));
    scenario.model.faults = {"Log:2"};
    EXPECT_EQ((Lines{{"fault \"Log:2\" never fired in this run; the action made no host call", true}}),
              linesOf(actionhost::unfiredFaultLines(scenario, {})));
    EXPECT_TRUE(actionhost::unfiredFaultLines(scenario, {"Log:2"}).empty());
    // An occurrence past the last matching call says how many matched.
    scenario.model.faults = {hosting::FaultEntry("Log:2", 3)};
    EXPECT_EQ((Lines{{"fault \"Log:2\" (occurrence 3) never fired in this run; 2 calls match it", true}}),
              linesOf(actionhost::unfiredFaultLines(scenario, {"Log:2", "Log:0", "Log:2"})));
    EXPECT_TRUE(actionhost::unfiredFaultLines(scenario, {"Log:2", "Log:2", "Log:2"}).empty());
}

} // namespace
