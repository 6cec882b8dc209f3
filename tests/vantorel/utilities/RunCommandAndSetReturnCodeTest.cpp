// RunCommandAndSetReturnCode: the status written after the run, and a
// command line that is not ASCII.
#include "ActionTest.h"

#include <Poco/File.h>
#include <Poco/Path.h>

using hosting::HostModel;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

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

} // namespace
