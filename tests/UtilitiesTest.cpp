// Language ordering, substring test, Vexa names and the command runner.
#include "ActionTest.h"

#include "platform/Platform.h"
#include "utilities/CommandRunner.h"

#include <Poco/File.h>
#include <Poco/Path.h>

#include <fstream>
#include <memory>
#include <sstream>

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

// The action entries are linked into this test too, so that the command
// processor can be replaced for them.
extern "C" int RunCommandAndSetReturnCode(ActionContextPtr context);
extern "C" int RunCommandAndSetProperty(ActionContextPtr context);

namespace {

std::wstring sortLanguages(const std::wstring& available, const std::wstring& prioritized, Log* log = nullptr)
{
    HostModel model;
    model.properties[L"$available.ui.langs"] = available;
    model.parameters[L"PrioritizedLanguage"] = prioritized;
    model.parameters[L"WriteProperty"] = L"LANGS";
    Outcome run = runVantorel("SortAvailableSetupLanguages", model);
    EXPECT_EQ(0, run.result());
    if (log != nullptr)
        *log = run.log();
    return run.property(L"LANGS");
}

TEST(SortAvailableSetupLanguages, ContainmentSemantics)
{
    EXPECT_EQ(L"ja;de;en;fr", sortLanguages(L"en;de;fr;ja", L"ja;de"));
    EXPECT_EQ(L"JA;en;de;fr", sortLanguages(L"en;de;fr;ja", L"JA"));
    EXPECT_EQ(L"en;de", sortLanguages(L"en;de", L"ko"));
    EXPECT_EQ(L"e;en;de", sortLanguages(L"en;de", L"e"));
    EXPECT_EQ(L"en_US", sortLanguages(L"en_US;en", L"en_US"));
    EXPECT_EQ(L"de;de;en", sortLanguages(L"en;de;en", L"de;de"));
    EXPECT_EQ(L"en;de;fr", sortLanguages(L";en;;de;fr;", L";"));
    EXPECT_EQ(L"en;de", sortLanguages(L"en;de", L"de; en").substr(0, 0) + sortLanguages(L"en;de", L" en"));
    EXPECT_EQ(L"\u00C9S;fr", sortLanguages(L"\u00E9s;fr", L"\u00C9S"));
}

TEST(SortAvailableSetupLanguages, LogLinesAndPassThrough)
{
    Log log;
    EXPECT_EQ(L"", sortLanguages(L"", L"de", &log));
    EXPECT_EQ((Log{{2, L"Sorting Available Languages (highest to lowest): "}, {2, L"Sorted Available Languages: "}}),
              log);
    EXPECT_EQ(L" en;;de ", sortLanguages(L" en;;de ", L"", &log));
    EXPECT_EQ((Log{{2, L"Sorting Available Languages (highest to lowest): "}, {2, L"No Prioritized Language Specified."}}),
              log);
}

// The host sees the announcement, the three reads in order, and the result
// logged before it is written, on both paths.
TEST(SortAvailableSetupLanguages, HostCallOrder)
{
    HostModel model;
    model.properties[L"$available.ui.langs"] = L"en;de";
    model.parameters[L"PrioritizedLanguage"] = L"de";
    model.parameters[L"WriteProperty"] = L"LANGS";
    const std::vector<std::string> reads{"Log:2", "GetParameter:$available.ui.langs", "GetParameter:PrioritizedLanguage",
                                         "GetParameter:WriteProperty"};
    std::vector<std::string> sorted = reads;
    sorted.insert(sorted.end(), {"Log:2", "SetProperty:LANGS"});
    EXPECT_EQ(sorted, runVantorel("SortAvailableSetupLanguages", model).record.calls);
    model.parameters[L"PrioritizedLanguage"] = L"";
    EXPECT_EQ(sorted, runVantorel("SortAvailableSetupLanguages", model).record.calls);
}

Outcome substring(const std::wstring& text, const std::wstring& part)
{
    HostModel model;
    model.parameters[L"String"] = text;
    model.parameters[L"Substring"] = part;
    model.parameters[L"WriteProperty"] = L"FOUND";
    return runVantorel("CheckIfContainSubstring", model);
}

TEST(CheckIfContainSubstring, CaseSensitiveWithTwoMessageForms)
{
    Outcome found = substring(L"setup.exe", L".exe");
    EXPECT_EQ(L"true", found.property(L"FOUND"));
    EXPECT_EQ((Log{{2, L"CheckIfContainSubstring -  \n[String]: setup.exe\n[Contains Substring]: .exe\n"}}),
              found.log());
    Outcome missing = substring(L"setup.exe", L"EXE");
    EXPECT_EQ(L"false", missing.property(L"FOUND"));
    EXPECT_EQ((Log{{2, L"CheckIfContainSubstring - \n[String]: setup.exe\n[Does Not Contains Substring]: EXE\n"}}),
              missing.log());
    EXPECT_EQ(L"true", substring(L"", L"").property(L"FOUND"));
    EXPECT_EQ(L"false", substring(L"", L"x").property(L"FOUND"));
    // The three reads in order, then the line, then the answer.
    const std::vector<std::string> calls{"GetParameter:String", "GetParameter:Substring", "GetParameter:WriteProperty",
                                         "Log:2", "SetProperty:FOUND"};
    EXPECT_EQ(calls, found.record.calls);
    EXPECT_EQ(calls, missing.record.calls);
}

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

std::vector<std::wstring> split(std::wstring text)
{
    std::vector<std::wstring> list;
    splitAndTrim(text, L";", list);
    EXPECT_TRUE(text.empty());
    return list;
}

TEST(CommandRunnerHelpers, SplitAndTrimKeepsEmptyEntries)
{
    typedef std::vector<std::wstring> List;
    EXPECT_EQ((List{L"0", L"3010"}), split(L"0;3010"));
    EXPECT_EQ((List{L"0", L"3010"}), split(L" 0 ; 3010 "));
    EXPECT_EQ((List{L"0", L"", L"1"}), split(L"0;;1"));
    EXPECT_EQ((List{L"0", L"1"}), split(L"0;1;"));
    EXPECT_EQ((List{L"0", L"1", L""}), split(L"0;1; "));
    EXPECT_EQ(List{}, split(L""));
    EXPECT_EQ(List{L""}, split(L";"));
    EXPECT_EQ(List{L"\t1"}, split(L" \t1 "));

    std::wstring text = L"a";
    trimSpaces(text);
    EXPECT_EQ(L"a", text);
    text = L"   ";
    trimSpaces(text);
    EXPECT_EQ(L"", text);
}

TEST(CommandRunnerHelpers, ReadIntegerLikeAStreamAndRejectsTheRest)
{
    EXPECT_EQ(3010, readInteger(L"3010"));
    EXPECT_EQ(3010, readInteger(L" 3010"));
    EXPECT_EQ(-1, readInteger(L"-1"));
    EXPECT_EQ(3010, readInteger(L"3010abc"));
    EXPECT_EQ(0, readInteger(L"0x10"));
    EXPECT_EQ(10, readInteger(L"010"));
    EXPECT_EQ(5, readInteger(L"+5"));
    EXPECT_FALSE(readInteger(L""));
    EXPECT_FALSE(readInteger(L"abc"));
    EXPECT_FALSE(readInteger(L"- 1"));
    EXPECT_FALSE(readInteger(L"2147483648"));
    EXPECT_FALSE(readInteger(L"-2147483649"));
    EXPECT_EQ(-2147483647 - 1, readInteger(L"-2147483648"));
}

Outcome runProperty(const std::wstring& command, const std::wstring& codes, const std::wstring& values)
{
    HostModel model;
    model.parameters[L"CmdLine"] = command;
    model.parameters[L"WriteProperty"] = L"OUT";
    model.parameters[L"Default"] = L"Fallback";
    model.parameters[L"ReturnCodesSet"] = codes;
    model.parameters[L"ValuesSet"] = values;
    return runVantorel("RunCommandAndSetProperty", model);
}

TEST(RunCommandAndSetProperty, MapsRealExitStatuses)
{
    // A POSIX shell reports statuses 0 to 255 only.
    EXPECT_EQ(L"Reboot", runProperty(L"exit 3", L"0;3", L"Done;Reboot").property(L"OUT"));
    EXPECT_EQ(L"Done", runProperty(L"exit 0", L"0;3", L"Done;Reboot").property(L"OUT"));
    EXPECT_EQ(L"Fallback", runProperty(L"exit 5", L"0;3", L"Done;Reboot").property(L"OUT"));
    EXPECT_EQ(L"Three", runProperty(L"exit 3", L" 0 ; 3 ", L"Zero;Three").property(L"OUT"));
    EXPECT_EQ(L"A", runProperty(L"exit 1", L"1;1", L"A;B").property(L"OUT"));
    // An entry that is no number never matches, not even status 0.
    EXPECT_EQ(L"Zero", runProperty(L"exit 0", L"x;0", L"Text;Zero").property(L"OUT"));
}

TEST(RunCommandAndSetProperty, StatusesOnlyTheRealProcessorReports)
{
    if (testing_support::usesStandIns()) {
        // The shell reports a command killed by signal N as 128 + N.
        EXPECT_EQ(L"Killed", runProperty(L"kill -9 $$", L"137", L"Killed").property(L"OUT"));
    } else {
        // cmd.exe reports statuses beyond 255, such as the reboot code.
        EXPECT_EQ(L"Reboot", runProperty(L"exit 3010", L"0;3010", L"Done;Reboot").property(L"OUT"));
    }
}

TEST(RunCommandAndSetProperty, LogLinesInOrder)
{
    Outcome run = runProperty(L"exit 3010", L"0;3010", L"Done;Reboot");
    EXPECT_EQ(0, run.result());
    EXPECT_EQ((Log{{2, L"[RunCommandAndSetProperty] wProperty = OUT"},
                   {2, L"[RunCommandAndSetProperty] wDefault  = Fallback"},
                   {2, L"Checking if processor is available..."},
                   {2, L"Ok"},
                   {2, L"Executing command: exit 3010"},
                   {2, L"[RunCommandAndSetProperty] wReturnCodesSet  = 0;3010"},
                   {2, L"[RunCommandAndSetProperty] wValuesSet       = Done;Reboot"},
                   {2, L"[RunCommandAndSetProperty] i = 0"},
                   {2, L"[RunCommandAndSetProperty] i = 3010"}}),
              run.log());
    Outcome empty = runProperty(L"exit 0", L"", L"");
    EXPECT_EQ(L"Fallback", empty.property(L"OUT"));
    EXPECT_EQ(7u, empty.log().size());
}

TEST(RunCommandAndSetProperty, ShortValueListRaisesOutOfRange)
{
    Outcome run = runProperty(L"exit 1", L"0;1", L"Done");
    EXPECT_TRUE(run.record.exception);
    EXPECT_TRUE(run.record.writes.empty());
    EXPECT_EQ(L"[RunCommandAndSetProperty] i = 1", run.log().back().second);
}

TEST(RunCommandAndSetReturnCode, WritesTheStatusAfterRunning)
{
    HostModel model;
    model.parameters[L"CmdLine"] = L"exit 0";
    model.parameters[L"WriteProperty"] = L"RC";
    Outcome zero = runVantorel("RunCommandAndSetReturnCode", model);
    EXPECT_EQ(0, zero.result());
    EXPECT_EQ(L"0", zero.property(L"RC"));
    EXPECT_EQ((std::vector<std::string>{"GetParameter:CmdLine", "Log:2", "Log:2", "Log:2", "GetParameter:WriteProperty",
                                        "Log:2", "SetProperty:RC"}),
              zero.record.calls);
    EXPECT_EQ(L"Command returned error code: 0", zero.log().back().second);

    model.parameters[L"CmdLine"] = L"exit 255";
    EXPECT_EQ(L"255", runVantorel("RunCommandAndSetReturnCode", model).property(L"RC"));
}

// A script in a folder whose name is not ASCII (as a user folder such as
// "C:\\Users\\J\u00f6rg" is): the command line must reach the command processor
// unchanged, or it runs something else.
TEST(RunCommandAndSetReturnCode, NonAsciiCommandLineReachesTheProcessorIntact)
{
    testing_support::ScratchDirectory directory;
    const std::string folder = directory.path() + "/J\xC3\xB6rg \xF0\x9F\x98\x80";
    Poco::File(folder).createDirectories();
    HostModel model;
    model.parameters[L"WriteProperty"] = L"RC";
    if (testing_support::usesStandIns()) {
        directory.write("J\xC3\xB6rg \xF0\x9F\x98\x80/setup.sh", "exit 7\n");
        model.parameters[L"CmdLine"] = L"sh '" + hosting::widen(folder) + L"/setup.sh'";
    } else {
        directory.write("J\xC3\xB6rg \xF0\x9F\x98\x80/setup.cmd", "@exit 7\r\n");
        model.parameters[L"CmdLine"] = L"\"" + hosting::widen(Poco::Path(folder).toString()) + L"\\setup.cmd\"";
    }
    Outcome run = runVantorel("RunCommandAndSetReturnCode", model);
    EXPECT_EQ(L"7", run.property(L"RC")) << hosting::narrow(model.parameters[L"CmdLine"]);
}

// Without a command processor: the property keeps its place for the
// default in one action and stays untouched in the other.
class NoCommandProcessor : public ::testing::Test {
protected:
    static int noProcessor(const char* command) { return command == nullptr ? 0 : -1; }
    void SetUp() override { platform::setSystemCommandFunction(noProcessor); }
    void TearDown() override { platform::setSystemCommandFunction(nullptr); }
};

TEST_F(NoCommandProcessor, DefaultIsWrittenOnlyByRunCommandAndSetProperty)
{
    HostModel model;
    model.parameters[L"CmdLine"] = L"exit 0";
    model.parameters[L"WriteProperty"] = L"OUT";
    model.parameters[L"Default"] = L"Fallback";
    hosting::SimulatedHost propertyHost(model);
    propertyHost.run(testing_support::linkedAction(RunCommandAndSetProperty));
    EXPECT_EQ(1, propertyHost.record().result);
    EXPECT_EQ(L"Fallback", propertyHost.properties().at(L"OUT"));
    const std::vector<hosting::LogLine>& log = propertyHost.record().log;
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ(4, log[3].level);
    EXPECT_EQ(L"Cannot make system call.", log[3].text);
    EXPECT_EQ(2, log[4].level);
    EXPECT_EQ(L"[RunCommandAndSetProperty] runCommand() fails", log[4].text);
    // The two parameters are read before anything is logged; the failure is
    // logged before the default is written.
    EXPECT_EQ((std::vector<std::string>{"GetParameter:WriteProperty", "GetParameter:Default", "Log:2", "Log:2",
                                        "GetParameter:CmdLine", "Log:2", "Log:4", "Log:2", "SetProperty:OUT"}),
              propertyHost.record().calls);

    hosting::SimulatedHost codeHost(model);
    codeHost.run(testing_support::linkedAction(RunCommandAndSetReturnCode));
    EXPECT_EQ(1, codeHost.record().result);
    EXPECT_TRUE(codeHost.record().writes.empty());
    EXPECT_EQ("Log:4", codeHost.record().calls.back());
}

} // namespace

#include "utilities/SubstringIndex.h"

namespace {

TEST(SubstringIndexTest, AnswersLikeAPlainSearchWhileTheTextGrows)
{
    SubstringIndex index;
    std::wstring text;
    const std::vector<std::wstring> pieces = {L"en_us;", L"en;", L"abab;", L"ba;", L"\u00e9t\u00e9;", L"aaaa;"};
    const std::vector<std::wstring> probes = {L"",    L"en",   L"n_u",  L"us;e", L"bab",  L"abba",
                                              L"a;b", L"\u00e9", L"t\u00e9;a", L"aaaaa", L"x",    L";;"};
    for (const std::wstring& piece : pieces) {
        index.append(piece);
        text += piece;
        for (const std::wstring& probe : probes)
            EXPECT_EQ(text.find(probe) != std::wstring::npos, index.contains(probe))
                << hosting::narrow(text) << " / " << hosting::narrow(probe);
    }
}

// Over a small alphabet every probe up to five letters is asked, after every
// letter appended: repeats and overlaps are what make the index copy a state
// ("abbab", "aabaa"), and a wrong copy answers yes for a text that is absent.
TEST(SubstringIndexTest, EveryShortProbeOverASmallAlphabet)
{
    std::vector<std::wstring> probes{L""};
    for (std::size_t from = 0; probes.back().size() < 5; ) {
        const std::size_t to = probes.size();
        for (std::size_t i = from; i < to; ++i)
            for (wchar_t c : std::wstring(L"ab;"))
                probes.push_back(probes[i] + c);
        from = to;
    }
    for (const std::wstring& text : {std::wstring(L"abbab;aabaa;babba"), std::wstring(L"aaab;abab;bbaab;ab")}) {
        SubstringIndex index;
        for (std::size_t length = 1; length <= text.size(); ++length) {
            index.append(text.substr(length - 1, 1));
            const std::wstring seen = text.substr(0, length);
            for (const std::wstring& probe : probes)
                ASSERT_EQ(seen.find(probe) != std::wstring::npos, index.contains(probe))
                    << hosting::narrow(seen) << " / " << hosting::narrow(probe);
        }
    }
}

} // namespace

namespace {

// A command processor that reports a chosen status, as cmd.exe can report
// statuses a POSIX shell cannot (3010, negative codes).
int reportedStatus = 0;
int reportStatus(const char* command)
{
    return command == nullptr ? 1 : reportedStatus;
}

class ReportedStatus : public ::testing::Test {
protected:
    void SetUp() override { platform::setSystemCommandFunction(reportStatus); }
    void TearDown() override { platform::setSystemCommandFunction(nullptr); }

    static std::unique_ptr<hosting::SimulatedHost> run(ActionEntry action, int status, const HostModel& model)
    {
        reportedStatus = status;
        std::unique_ptr<hosting::SimulatedHost> host(new hosting::SimulatedHost(model));
        host->run(testing_support::linkedAction(action));
        return host;
    }
};

TEST_F(ReportedStatus, WindowsStatusesMapAndPrintInFull)
{
    HostModel model;
    model.parameters[L"CmdLine"] = L"setup.exe /quiet";
    model.parameters[L"WriteProperty"] = L"OUT";
    model.parameters[L"Default"] = L"Fallback";
    model.parameters[L"ReturnCodesSet"] = L"0;3010";
    model.parameters[L"ValuesSet"] = L"Done;Reboot";
    const auto reboot = run(RunCommandAndSetProperty, 3010, model);
    EXPECT_EQ(L"Reboot", reboot->properties().at(L"OUT"));
    // Each pair of parameters is read before its lines are logged; every
    // code tried is logged, and the value is written last.
    EXPECT_EQ((std::vector<std::string>{"GetParameter:WriteProperty", "GetParameter:Default", "Log:2", "Log:2",
                                        "GetParameter:CmdLine", "Log:2", "Log:2", "Log:2", "GetParameter:ReturnCodesSet",
                                        "GetParameter:ValuesSet", "Log:2", "Log:2", "Log:2", "Log:2",
                                        "SetProperty:OUT"}),
              reboot->record().calls);

    const auto negative = run(RunCommandAndSetReturnCode, -1, model);
    EXPECT_EQ(L"-1", negative->properties().at(L"OUT"));
    EXPECT_EQ(L"Command returned error code: -1", negative->record().log.back().text);
    const auto lowest = run(RunCommandAndSetReturnCode, -2147483647 - 1, model);
    EXPECT_EQ(L"-2147483648", lowest->properties().at(L"OUT"));
}

} // namespace
