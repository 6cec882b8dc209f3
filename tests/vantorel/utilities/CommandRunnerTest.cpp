// What both command actions share: the list splitting and number reading,
// a host without a command processor, and statuses only cmd.exe reports.
#include "ActionTest.h"

#include "platform/Platform.h"
#include "utilities/CommandRunner.h"

#include <memory>

using hosting::HostModel;

// The action entries are linked into this test too, so that the command
// processor can be replaced for them.
extern "C" int RunCommandAndSetReturnCode(ActionContextPtr context);
extern "C" int RunCommandAndSetProperty(ActionContextPtr context);

namespace {

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
