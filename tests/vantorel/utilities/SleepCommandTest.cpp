// vantorel's SleepCommand: the announcement, the lines around the wait
// and the measured wait.
#include "ActionTest.h"

#include <chrono>

using testing_support::Log;
using testing_support::runVantorel;

namespace {

struct Timed {
    testing_support::Outcome outcome;
    long long milliseconds;
};

Timed sleepWith(const std::wstring& seconds)
{
    hosting::HostModel model;
    model.parameters[L"Seconds"] = seconds;
    const auto start = std::chrono::steady_clock::now();
    testing_support::Outcome outcome = runVantorel("SleepCommand", model);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return Timed{outcome, std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()};
}

TEST(SleepCommand, AnnouncesTheRawTextAndWaitsTheSecondsRead)
{
    Timed run = sleepWith(L" 1x");
    EXPECT_EQ(0, run.outcome.result());
    EXPECT_EQ((Log{{2, L"Going to sleep for  1x seconds."}, {2, L"SLEEP"}, {2, L"WAKE UP"}}), run.outcome.log());
    EXPECT_GE(run.milliseconds, 1000);
    EXPECT_EQ((std::vector<std::string>{"GetParameter:Seconds", "Log:2", "Log:2", "Log:2"}), run.outcome.record.calls);
    EXPECT_TRUE(run.outcome.record.writes.empty());
}

TEST(SleepCommand, FallsBackToFiveSecondsForZeroTextOrNegative)
{
    // Zero, the boundary, and a negative count take real fallback waits;
    // text without a number reaches the same path through the number
    // reader, whose cases are tested on their own.
    for (const wchar_t* seconds : {L"0", L"-3"}) {
        Timed run = sleepWith(seconds);
        EXPECT_EQ(0, run.outcome.result());
        EXPECT_EQ((Log{{2, L"Invalid argument so let's sleep for 5 seconds."}, {2, L"SLEEP"}, {2, L"WAKE UP"}}),
                  run.outcome.log())
            << "Seconds = " << hosting::narrow(seconds);
        EXPECT_GE(run.milliseconds, 5000);
    }
}

TEST(SleepCommand, HostFaultReachesTheHost)
{
    hosting::HostModel model;
    model.parameters[L"Seconds"] = L"1";
    model.faults = {"Log:2"};
    testing_support::Outcome outcome = runVantorel("SleepCommand", model);
    EXPECT_TRUE(outcome.record.exception);
    EXPECT_TRUE(outcome.record.log.empty());
}

} // namespace
