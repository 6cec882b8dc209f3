// actionhost's scenario loader and expectation comparison.
#include "ActionTest.h"

#include "catalogue/Catalogue.h"
#include "test/Expectations.h"
#include "run/Runner.h"
#include "scenario/Scenario.h"

#include <Poco/Path.h>

#include <set>

using actionhost::ScenarioError;

namespace {

class ScenarioLoading : public ::testing::Test {
protected:
    std::string write(const std::string& text) { return directory.write("scenario.json", text); }

    // The loader's message for a scenario text, or "" when it loads.
    std::string errorFor(const std::string& text)
    {
        try {
            actionhost::loadScenario(write(text));
        } catch (const ScenarioError& error) {
            return error.what();
        }
        return std::string();
    }

    testing_support::ScratchDirectory directory;
};

TEST_F(ScenarioLoading, ReadsEveryBlock)
{
    const actionhost::Scenario scenario = actionhost::loadScenario(write(R"({
      "description": "all blocks", "library": "cobrinth", "action": "ChangeFeatureState",
      "parameters": {"State": "Install"}, "properties": {"P": "\u00e9"}, "resolve": {"[A]": "a"},
      "features": {"id": "R", "enabled": false, "default": 1, "installed": 2, "installing": 3, "marker": 4,
                   "children": [{"id": "C"}]},
      "diskCosts": [{"path": "C:\\x", "cost": 5000000000}],
      "drives": {"C:": {"type": "removable", "freeBytes": 10}, "D:": {"path": "sub"}},
      "registry": {"HKLM\\SOFTWARE\\K": {"V": "v", "D": {"type": "REG_DWORD", "hex": "41,00 0000",
                   "firstQuerySize": 4294967295, "secondQueryFails": true}, "E": {"hex": ""}}},
      "commandProcessor": false,
      "faults": ["R.GetId", {"call": "Log:2", "occurrence": 3}, {"call": "Log"}],
      "expect": {"result": "exception", "log": [[2, "x"]], "writes": [["P", "v"]],
                 "properties": {"P": null}, "featureStates": {"C": 1, "R": null}, "calls": ["Log:2"]}
    })"));
    EXPECT_EQ("cobrinth", scenario.library);
    EXPECT_EQ(L"Install", scenario.model.parameters.at(L"State"));
    EXPECT_EQ(L"\u00e9", scenario.model.properties.at(L"P"));
    EXPECT_EQ(L"R", scenario.model.root.id);
    EXPECT_FALSE(scenario.model.root.enabled);
    EXPECT_EQ(4, scenario.model.root.marker);
    ASSERT_EQ(1u, scenario.model.root.children.size());
    EXPECT_EQ(5000000000LL, scenario.model.diskCosts[0].cost);
    EXPECT_EQ("C:=removable#10;D:=fixed@" + Poco::Path(directory.path()).append("sub").toString(), scenario.drives);
    const platform::RegistryValues& values = scenario.registry.at(L"SOFTWARE\\K");
    EXPECT_EQ((std::vector<unsigned char>{'v', 0, 0, 0}), values.at(L"V").data);
    EXPECT_FALSE(values.at(L"V").simulatesQueries());
    const platform::RegistryValue& dword = values.at(L"D");
    EXPECT_EQ(4u, dword.type);
    EXPECT_EQ((std::vector<unsigned char>{0x41, 0, 0, 0}), dword.data);
    EXPECT_TRUE(dword.hasReportedSize);
    EXPECT_EQ(4294967295u, dword.reportedSize);
    EXPECT_TRUE(dword.secondQueryFails);
    EXPECT_EQ(1u, values.at(L"E").type);
    EXPECT_TRUE(values.at(L"E").data.empty());
    EXPECT_FALSE(scenario.commandProcessor);
    EXPECT_EQ((std::vector<hosting::FaultEntry>{"R.GetId", hosting::FaultEntry("Log:2", 3), hosting::FaultEntry("Log", 1)}),
              scenario.model.faults);
    ASSERT_TRUE(scenario.expect.is_object());
}

TEST_F(ScenarioLoading, ErrorsNameTheFileTheLineTheColumnAndThePath)
{
    const std::string file = write("");
    EXPECT_EQ(file + ":1:58: $.parameters.b: invalid JSON: syntax error while parsing value - unexpected ','; "
                     "expected '[', '{', or a literal",
              errorFor("{\"action\": \"SleepCommand\", \"parameters\": {\"a\": \"1\", \"b\": ,}}"));
    EXPECT_EQ(file + ":1:28: $.paramters: unknown key; did you mean \"parameters\"?",
              errorFor(R"({"action": "SleepCommand", "paramters": {}})"));
    EXPECT_EQ(file + ":1:28: $.Parameters: unknown key; did you mean \"parameters\"?",
              errorFor(R"({"action": "SleepCommand", "Parameters": {}})"));
    EXPECT_EQ(file + ":1:28: $.inputs: unknown key", errorFor(R"({"action": "SleepCommand", "inputs": {}})"));
    EXPECT_EQ(file + ":1:1: $: the \"action\" to call is missing", errorFor(R"({"library": "vantorel"})"));
    EXPECT_EQ(file + ":2:17: $.parameters.Seconds: expected a string, found a number",
              errorFor("{\"action\": \"SleepCommand\",\n \"parameters\": {\"Seconds\": 3}}"));
    EXPECT_EQ(file + ":1:90: $.features.children[1].enabled: expected true or false, found a string",
              errorFor(R"({"action": "SleepCommand", "features": {"id": "r", "children": [{"id": "a"}, {"id": "b", "enabled": "no"}]}})"));
    EXPECT_EQ(file + ":1:46: $.drives.C:.type: unknown drive type \"floppy\" (unknown, noroot, removable, fixed, "
                     "remote, cdrom, ramdisk)",
              errorFor(R"({"action": "SleepCommand", "drives": {"C:": {"type": "floppy"}}})"));
    EXPECT_EQ(file + ":1:41: $.registry.HKCU\\X: registry keys lie below HKLM\\ (HKEY_LOCAL_MACHINE\\)",
              errorFor(R"({"action": "SleepCommand", "registry": {"HKCU\\X": {}}})"));
    EXPECT_EQ(file + ":1:59: $.registry.HKLM\\K.V.hex: expected bytes as pairs of hex digits, each followed by at "
                     "most one blank or comma",
              errorFor(R"({"action": "SleepCommand", "registry": {"HKLM\\K": {"V": {"hex": "41  00"}}}})"));
    EXPECT_EQ(file + ":1:59: $.registry.HKLM\\K.V.type: unknown type \"REG_QWORD\" (expected REG_SZ, REG_EXPAND_SZ, "
                     "REG_BINARY, REG_DWORD)",
              errorFor(R"({"action": "SleepCommand", "registry": {"HKLM\\K": {"V": {"type": "REG_QWORD", "hex": ""}}}})"));
    EXPECT_EQ(file + ":1:39: $.expect.result: expected 0, 1 or \"exception\"",
              errorFor(R"({"action": "SleepCommand", "expect": {"result": 2}})"));
    EXPECT_EQ(file + ":1:47: $.expect.log[0]: expected a pair", errorFor(R"({"action": "SleepCommand", "expect": {"log": [[2]]}})"));
    EXPECT_EQ(file + ":1:1: $: a scenario is a JSON object", errorFor("[]"));
    EXPECT_NE(std::string::npos, errorFor("").find("invalid JSON"));
    // What POCO would take silently: the last of two keys, an integer beyond 64 bits.
    EXPECT_EQ(file + ":1:27: $.action: duplicate key \"action\"",
              errorFor(R"({"action": "SetVexaName", "action": "SleepCommand"})"));
    EXPECT_EQ(file + ":2:28: $.features.children[0].marker: duplicate key \"marker\"",
              errorFor("{\"action\": \"SleepCommand\", \"features\": {\"id\": \"r\",\n\"children\": [{\"marker\": 1, \"marker\": 2}]}}"));
    EXPECT_EQ(file + ":1:51: $.diskCosts[0].cost: number out of range: 18446744073709551616 is beyond the 64-bit "
                     "integers",
              errorFor(R"({"action": "SleepCommand", "diskCosts": [{"cost": 18446744073709551616, "path": "C:"}]})"));
}

TEST_F(ScenarioLoading, IntegersAreWhatJsonSchemaCountsAsIntegersWithinTheirRanges)
{
    const std::string file = write("");
    auto with = [](const std::string& members) { return R"({"action": "DisplayFeatureInstallingState", )" + members + "}"; };
    // 1.0 and 1e3 are the integers 1 and 1000; the host may answer any
    // 32-bit state code; a drive holds up to 2^64 - 1 bytes.
    const actionhost::Scenario scenario = actionhost::loadScenario(write(with(
        R"("features": {"id": "r", "installed": -2147483648, "installing": 2147483647, "marker": 1e3, "default": 1.0},
           "diskCosts": [{"path": "C:", "cost": -9223372036854775808}, {"path": "D:", "cost": 9223372036854775807}],
           "drives": {"C:": {"freeBytes": 18446744073709551615}}, "timeout": 1.5,
           "expect": {"result": 1.0, "log": [[2e0, "x"]], "featureStates": {"r": -0.0}})")));
    EXPECT_EQ(INT32_MIN, scenario.model.root.installed);
    EXPECT_EQ(INT32_MAX, scenario.model.root.installing);
    EXPECT_EQ(1000, scenario.model.root.marker);
    EXPECT_EQ(1, scenario.model.root.defaultState);
    EXPECT_EQ(INT64_MIN, scenario.model.diskCosts[0].cost);
    EXPECT_EQ("C:=fixed#18446744073709551615", scenario.drives);
    // Booleans are no integers, and no number of seconds.
    EXPECT_EQ(file + ":1:69: $.features.marker: expected an integer, found a boolean",
              errorFor(with(R"("features": {"id": "r", "marker": true})")));
    EXPECT_EQ(file + ":1:56: $.expect.result: expected 0, 1 or \"exception\"",
              errorFor(with(R"("expect": {"result": true})")));
    EXPECT_EQ(file + ":1:45: $.timeout: expected a number of seconds from 0 to 86400", errorFor(with(R"("timeout": false)")));
    EXPECT_EQ(file + ":1:69: $.features.installed: expected an integer, found a number with a fraction",
              errorFor(with(R"("features": {"id": "r", "installed": 2.5})")));
    // Out of range, with its place, whatever the width of the number.
    EXPECT_EQ(file + ":1:69: $.features.installed: number out of range: expected an integer from -2147483648 to "
                     "2147483647",
              errorFor(with(R"("features": {"id": "r", "installed": 2147483648})")));
    EXPECT_EQ(file + ":1:74: $.diskCosts[0].cost: number out of range: expected an integer from "
                     "-9223372036854775808 to 9223372036854775807",
              errorFor(with(R"("diskCosts": [{"path": "C:", "cost": 9223372036854775808}])")));
    EXPECT_EQ(file + ":1:74: $.diskCosts[0].cost: number out of range: 1.8446744073709552e+19 is beyond the 64-bit "
                     "integers",
              errorFor(with(R"("diskCosts": [{"path": "C:", "cost": 1.8446744073709552e19}])")));
    EXPECT_EQ(file + ":1:63: $.drives.C:.freeBytes: number out of range: expected an integer from 0 to "
                     "18446744073709551615",
              errorFor(with(R"("drives": {"C:": {"freeBytes": -1}})")));
    EXPECT_EQ(file + ":1:74: $.expect.featureStates.r: number out of range: expected an integer from -2147483648 to "
                     "2147483647",
              errorFor(with(R"("expect": {"featureStates": {"r": 4294967296}})")));
}

TEST_F(ScenarioLoading, LibrariesActionsAndKeysAreRefusedWhereTheyCouldNotRun)
{
    const std::string file = write("");
    EXPECT_EQ(file + ":1:2: $.library: the library is empty: give \"vantorel\", \"cobrinth\" or a library's path",
              errorFor(R"({"library": "", "action": "SleepCommand"})"));
    EXPECT_EQ(file + ":1:2: $.library: no library is called \"Vantorel\": write \"vantorel\"",
              errorFor(R"({"library": "Vantorel", "action": "SleepCommand"})"));
    EXPECT_EQ(file + ":1:2: $.action: the action's name is empty", errorFor(R"({"action": ""})"));
    // With the library left out, vantorel's actions only; the message says
    // so, and names the library that has the action.
    EXPECT_EQ(file + ":1:2: $.action: the scenario names no library, so vantorel is taken, which does not export "
                     "SetPathRelatedProperties; cobrinth does: give \"library\": \"cobrinth\"",
              errorFor(R"({"action": "SetPathRelatedProperties"})"));
    EXPECT_EQ(file + ":1:2: $.action: vantorel (the scenario names no library) does not export NoSuchAction; its "
                     "actions: " + actionhost::actionNames("vantorel"),
              errorFor(R"({"action": "NoSuchAction"})"));
    EXPECT_EQ(file + ":1:25: $.action: cobrinth does not export CheckDiskCost; its actions: SetPathRelatedProperties, "
                     "ChangeFeatureState, SleepCommand",
              errorFor(R"({"library": "cobrinth", "action": "CheckDiskCost"})"));
    // A library in its place loads any name; a library by path is not checked.
    EXPECT_NO_THROW(actionhost::loadScenario(write(R"({"action": "Crash"})"), "test-actions.so"));
    EXPECT_EQ("", errorFor(R"({"library": "lib/custom.so", "action": "Anything"})"));
    // A key is read whole: one holding NUL is refused where it stands, not
    // cut short; a NUL inside a value is the value's own.
    EXPECT_EQ(file + ":1:42: $.parameters.Machine\\u0000Name: a key holds U+0000 (NUL)",
              errorFor(R"({"action": "SetVexaName", "parameters": {"Machine\u0000Name": "x"}})"));
    const actionhost::Scenario nulValue =
        actionhost::loadScenario(write(R"({"action": "SetVexaName", "parameters": {"MachineName": "a\u0000b"}})"));
    EXPECT_EQ(std::wstring(L"a\0b", 3), nulValue.model.parameters.at(L"MachineName"));
}

actionhost::Json object(const std::string& text)
{
    return actionhost::Json::parse(text);
}

const char kRun[] = R"({"result": 0, "exception": null, "log": [[2, "a"], [4, "b"]],
    "writes": [["P", "1"], ["P", "2"]], "featureStates": {"F": 1}, "properties": {"P": "2", "Preset": "x"},
    "calls": ["Log:2", "Log:4"]})";

// The FAIL line's summary and each difference below it, for one expect block.
std::string compared(const std::string& expect, const actionhost::Json& run)
{
    const actionhost::Differences found = actionhost::differences(object(expect), run);
    return found.empty() ? std::string() : found.summary() + "\n" + found.details;
}

TEST(ExpectationComparison, NamesEveryKeyThatDiffersAndEachDifference)
{
    const actionhost::Json run = object(kRun);
    EXPECT_EQ("", compared(R"({"result": 0, "log": [[2, "a"], [4, "b"]],
        "properties": {"P": "2", "Q": null}, "featureStates": {"F": 1, "G": null}, "calls": ["Log:2", "Log:4"]})", run));
    EXPECT_EQ("result differs\n  result: expected 1, got 0\n", compared(R"({"result": 1})", run));
    EXPECT_EQ("writes differ\n  writes (- expected, + actual, at their positions):\n  - [2] [\"P\",\"3\"]\n",
              compared(R"({"writes": [["P", "1"], ["P", "2"], ["P", "3"]]})", run));
    // Every property and feature state that differs, not only the first.
    EXPECT_EQ("properties differ\n"
              "  properties.P: expected null (never written), got \"2\" (written)\n"
              "  properties.Preset: expected \"y\", got \"x\"\n"
              "  properties.Q: expected \"1\", got null (not in the store)\n",
              compared(R"({"properties": {"Q": "1", "P": null, "Preset": "y"}})", run));
    // Final values: a preset property the action left alone keeps its value,
    // and was never written.
    EXPECT_EQ("", compared(R"({"properties": {"Preset": "x", "P": "2"}})", run));
    EXPECT_EQ("", compared(R"({"properties": {"Preset": null}})", run));
    // Every key that differs at once, in one order, whatever the file's.
    EXPECT_EQ("result, log, properties, featureStates differ\n"
              "  result: expected 1, got 0\n"
              "  log (- expected, + actual, at their positions):\n"
              "  - [1] [4,\"c\"]\n"
              "  + [1] [4,\"b\"]\n"
              "  properties.P: expected \"3\", got \"2\"\n"
              "  featureStates.F: expected 2, got 1\n"
              "  featureStates.G: expected 1, got null (never set)\n",
              compared(R"({"featureStates": {"F": 2, "G": 1}, "properties": {"P": "3"},
                           "log": [[2, "a"], [4, "c"]], "result": 1})", run));

    const actionhost::Json thrown = object(R"({"result": null, "exception": "boom", "log": [],
        "writes": [], "featureStates": {}, "properties": {}})");
    EXPECT_EQ("result differs\n  result: expected 0, got \"exception\" (boom)\n", compared(R"({"result": 0})", thrown));
    EXPECT_EQ("", compared(R"({"result": "exception"})", thrown));
    EXPECT_EQ("calls differ\n  calls: not recorded\n", compared(R"({"calls": []})", thrown));
}

TEST(ExpectationComparison, ListsEveryDifferenceAligned)
{
    const actionhost::Json run = object(R"({"log": [[2, "a"], [2, "new"], [4, "b"], [2, "c"]],
        "writes": [["P", "1"]], "calls": ["Log:2"]})");
    EXPECT_EQ("log differs\n"
              "  log (- expected, + actual, at their positions):\n"
              "  + [1] [2,\"new\"]\n"
              "  - [2] [2,\"x\"]\n"
              "  + [3] [2,\"c\"]\n",
              compared(R"({"log": [[2, "a"], [4, "b"], [2, "x"]], "writes": [["P", "1"]]})", run));
    EXPECT_EQ("", compared(R"({"writes": [["P", "1"]], "calls": ["Log:2"]})", run));
}

TEST(ScenarioRun, FaultsAndMissingExports)
{
    testing_support::ScratchDirectory directory;
    const std::string file = directory.write("s.json", R"({"library": ")" + std::string(VANTOREL_LIBRARY) +
                                                            R"(", "action": "SetFeatureStateToDefault",
        "features": {"id": "R", "children": [{"id": "A"}, {"id": "B"}]}, "faults": ["B.GetDefaultState"]})");
    actionhost::Scenario scenario = actionhost::loadScenario(file);
    const actionhost::RunOutput output = actionhost::runScenario(scenario, "");
    EXPECT_EQ(1, output.record.result);
    EXPECT_EQ(L"[SetFeatureStateToDefault] crashed", output.record.log.back().text);
    EXPECT_EQ(2u, output.record.featureStates.size());

    scenario.action = "NoSuchAction";
    try {
        actionhost::runScenario(scenario, "");
        FAIL() << "a missing export must be reported";
    } catch (const ScenarioError& error) {
        EXPECT_NE(std::string::npos, std::string(error.what()).find("does not export NoSuchAction"));
    }
    EXPECT_THROW(actionhost::runScenario(scenario, "no/such/library.so"), ScenarioError);
}

} // namespace

#include <Poco/File.h>

namespace {

std::string jsonText(const std::string& text)
{
    return actionhost::jsonText(actionhost::Json(text));
}

// Whatever a drive's folder or a registry value holds reaches the simulated
// world byte for byte: nothing in it can end an entry or a line and declare
// something else.
TEST(ScenarioWorld, ValuesReachTheWorldByteForByte)
{
    testing_support::ScratchDirectory directory;
    // A folder name with every character the drive configuration gives a
    // meaning to (Windows names cannot hold quotes, backslashes or line breaks).
    const std::string folder = testing_support::usesStandIns()
                                   ? "a;b=c#d@e\"f\\g\r\nh %3B%25 \xF0\x9F\x98\x80"
                                   : "a;b=c#d@e %3B%25 \xF0\x9F\x98\x80";
    Poco::File(Poco::Path(directory.path()).append(folder).toString()).createDirectories();
    const std::string costs = R"("parameters": {"PropIsEnoughSpace": "E", "PropAvailableSpace": "A"}, )";
    auto diskScenario = [&](const std::string& drive, const std::string& path) {
        return R"({"action": "CheckDiskCost", )" + costs + R"("diskCosts": [{"path": ")" + drive + R"(:", "cost": 1}],
            "drives": {"C:": {"type": "fixed", "path": )" + jsonText(path) + "}}}";
    };
    auto run = [&](const std::string& text, const std::wstring& installDir) {
        actionhost::Scenario scenario = actionhost::loadScenario(directory.write("s.json", text));
        scenario.model.parameters[scenario.library == "cobrinth" ? L"INSTALLDIR" : L"InstallDir"] = installDir;
        return actionhost::runScenario(scenario, "");
    };
    const actionhost::RunOutput measured = run(diskScenario("C", folder), L"C:\\Suite");
    EXPECT_EQ(0, measured.record.result);
    EXPECT_EQ(L"1", measured.properties.at(L"E"));
    // An entry smuggled in through a folder's name declares nothing.
    const actionhost::RunOutput smuggled = run(diskScenario("D", "x;D:=fixed#99999999"), L"D:\\Suite");
    EXPECT_EQ(1, smuggled.record.result);
    EXPECT_EQ(L"CheckDiskCost is unable to find the free disk space", smuggled.record.log.back().text);

    const std::string value = "D:\\a;b=c#d@e\"f\\\\g\r\nh\n[HKEY_LOCAL_MACHINE\\X]\r\n\"V\"=\"w\" \xF0\x9F\x98\x80";
    const actionhost::RunOutput registry = run(R"json({"library": "cobrinth", "action": "SetPathRelatedProperties",
        "parameters": {"HostPlatform": "windows", "HostObjectModel": "64", "ProductObjectModel": "32",
                       "EnterpriseVersionDir": "4.0"},
        "registry": {"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion": {
            "ProgramFilesDir": "C:\\Program Files", "ProgramFilesDir (x86)": )json" + jsonText(value) + "}}}",
                                               L"C:\\Program Files\\Suite\\");
    EXPECT_EQ(0, registry.record.result);
    EXPECT_EQ(hosting::widen(value) + L"\\Suite\\", registry.properties.at(L"INSTALLDIR"));

    // What cannot be given is a scenario error, not a changed world.
    for (const char* bad : {R"({"action": "SleepCommand", "drives": {"CD:": {}}})",
                            R"({"action": "SleepCommand", "drives": {"C:": {"freeBytes": -1}}})",
                            R"({"action": "SleepCommand", "drives": {"C:": {"path": "a\u0000b"}}})",
                            R"({"action": "SleepCommand", "registry": {"HKLM\\K": {"a\nb": "v"}}})"})
        EXPECT_THROW(actionhost::loadScenario(directory.write("bad.json", bad)), actionhost::ScenarioError) << bad;
}

} // namespace
