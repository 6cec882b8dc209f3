// The setup-core library's SleepCommand.
#include "ActionTest.h"

#include <chrono>

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runCobrinth;

namespace {

TEST(SetupCoreSleepCommand, AnnouncesWithALineFeedAndSkipsZero)
{
    // Loaded before the clock starts: a first load can take long (under
    // emulation), and only the action's own wait is measured.
    testing_support::loadedLibrary(COBRINTH_LIBRARY);
    for (const wchar_t* seconds : {L"0", L"abc", L"", L"-2"}) {
        HostModel model;
        model.parameters[L"Seconds"] = seconds;
        const auto start = std::chrono::steady_clock::now();
        Outcome run = runCobrinth("SleepCommand", model);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
        EXPECT_EQ(0, run.result());
        EXPECT_EQ((Log{{2, std::wstring(L"Going to sleep for ") + seconds + L" seconds.\n"}}), run.log());
    }
    HostModel model;
    model.parameters[L"Seconds"] = L" 1x";
    const auto start = std::chrono::steady_clock::now();
    Outcome run = runCobrinth("SleepCommand", model);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ((Log{{2, L"Going to sleep for  1x seconds.\n"}}), run.log());
}

} // namespace
