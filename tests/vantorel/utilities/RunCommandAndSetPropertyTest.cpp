// RunCommandAndSetProperty: exit statuses mapped to values, its lines in
// order, and a value list shorter than the codes.
#include "ActionTest.h"

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

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

} // namespace
