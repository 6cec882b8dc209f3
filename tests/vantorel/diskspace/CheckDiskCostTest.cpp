// CheckDiskCost on simulated drives (the drive stand-in off Windows, the
// redirected drive queries on Windows) and on the real drive C:.
#include "ActionTest.h"

#include "diskspace/DiskSpace.h"
#include "platform/DriveConfig.h"
#include "platform/Platform.h"

#if !defined(_WIN32)
#include <sys/statvfs.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <limits>

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

// The cases run on simulated drives: the drive stand-in off Windows, the
// library's redirected drive queries on Windows.
class CheckDiskCost : public ::testing::Test {
protected:
    void drives(const std::string& config)
    {
        world.hasDrives = true;
        world.drives = config;
    }

    Outcome check(const HostModel& host) const { return runVantorel("CheckDiskCost", host, world); }

    hosting::WorldModel world;

    static HostModel model(const std::wstring& installDir, std::vector<hosting::DiskCostModel> costs)
    {
        HostModel host;
        host.parameters[L"InstallDir"] = installDir;
        host.parameters[L"PropIsEnoughSpace"] = L"Enough";
        host.parameters[L"PropRequiredSpace"] = L"Required";
        host.parameters[L"PropAvailableSpace"] = L"Available";
        host.diskCosts = std::move(costs);
        return host;
    }
};

TEST_F(CheckDiskCost, SumsPerDriveAndWritesMiB)
{
    drives("C:=fixed#" + std::to_string(300LL * 1024 * 1024));
    Outcome run = check(model(L"C:\\Apps", {{L"C:\\a", 100}, {L"D:\\b", 5}, {L"C:\\c", 28}}));
    EXPECT_EQ(0, run.result());
    EXPECT_EQ((Log{{2, L"Entering Action CheckDiskCost"},
                   {2, L"CheckDiskCost calculated required Space:128"},
                   {2, L"CheckDiskCost calculated available space:307200"},
                   {2, L"CheckDiskCost calculated that there is enough disk space"}}),
              run.log());
    EXPECT_EQ(L"0", run.property(L"Required"));
    EXPECT_EQ(L"300", run.property(L"Available"));
    EXPECT_EQ(L"1", run.property(L"Enough"));
    EXPECT_EQ((std::vector<std::string>{"Log:2", "GetParameter:InstallDir", "GetParameter:PropIsEnoughSpace",
                                        "GetParameter:PropRequiredSpace", "GetParameter:PropAvailableSpace",
                                        "GetDiskCostList", "Log:2", "SetProperty:Required",
                                        "GetPropertyText:$os.platform", "Log:2", "SetProperty:Available",
                                        "SetProperty:Enough", "Log:2"}),
              run.record.calls);
}

TEST_F(CheckDiskCost, RequiredSpaceTruncatesToMiB)
{
    drives("C:=fixed#1073741824");
    EXPECT_EQ(L"2", check(model(L"C:\\", {{L"C:", 2048}})).property(L"Required"));
    EXPECT_EQ(L"1", check(model(L"C:\\", {{L"C:", 2047}})).property(L"Required"));
    EXPECT_EQ(L"-1", check(model(L"C:\\", {{L"C:", -2047}})).property(L"Required"));
}

TEST_F(CheckDiskCost, VerdictNeedsMoreFreeThanRequired)
{
    drives("C:=fixed#" + std::to_string(1000 * 1024));
    Outcome equal = check(model(L"C:\\", {{L"C:", 1000}}));
    EXPECT_EQ(0, equal.result());
    EXPECT_EQ(L"0", equal.property(L"Enough"));
    EXPECT_EQ(L"CheckDiskCost calculated that there is NOT enough disk space", equal.log().back().second);
    // The verdict is written before its line, as in the other case.
    EXPECT_EQ((std::vector<std::string>{"SetProperty:Enough", "Log:2"}),
              std::vector<std::string>(equal.record.calls.end() - 2, equal.record.calls.end()));
    EXPECT_EQ(L"1", check(model(L"C:\\", {{L"C:", 999}})).property(L"Enough"));
}

TEST_F(CheckDiskCost, DriveLettersAreCaseSensitiveAndEachEntryIsListed)
{
    drives("C:=fixed#1048576");
    Outcome run = check(model(L"c:\\x", {{L"C:\\a", 1}, {L"D:\\b", 2}, {L"D:\\c", 3}, {L"", 4}}));
    EXPECT_EQ(1, run.result());
    EXPECT_EQ((Log{{2, L"Entering Action CheckDiskCost"},
                   {4, L"CheckDiskCost failed to get the drive that contains installdir"},
                   {4, L"Drive to examine c"},
                   {4, L"Available drives:"},
                   {4, L"C"},
                   {4, L"D"},
                   {4, L"D"},
                   {4, L""}}),
              run.log());
    EXPECT_TRUE(run.record.writes.empty());

    Outcome empty = check(model(L"C:\\", {}));
    EXPECT_EQ(1, empty.result());
    EXPECT_EQ(4u, empty.log().size());
}

TEST_F(CheckDiskCost, FailurePaths)
{
    drives("C:=fixed#1048576;E:=cdrom");
    Outcome noDir = check(model(L"", {{L"C:", 1}}));
    EXPECT_EQ(1, noDir.result());
    EXPECT_EQ((std::pair<int, std::wstring>{4, L"CheckDiskCost failed to get nonempty install directory"}),
              noDir.log().back());
    EXPECT_EQ(std::vector<std::string>(5, "").size(), noDir.record.calls.size() - 1);

    Outcome cdrom = check(model(L"E:\\", {{L"E:", 1024}}));
    EXPECT_EQ(1, cdrom.result());
    EXPECT_EQ((std::pair<int, std::wstring>{4, L"CheckDiskCost is unable to find the free disk space"}),
              cdrom.log().back());
    EXPECT_EQ(L"1", cdrom.property(L"Required"));
    EXPECT_EQ(L"<unset>", cdrom.property(L"Enough"));

    Outcome absent = check(model(L"Q:\\", {{L"Q:", 1}}));
    EXPECT_EQ(L"CheckDiskCost is unable to find the free disk space", absent.log().back().second);
}

TEST_F(CheckDiskCost, OnlyFixedRemovableAndRemoteDrivesHaveFreeSpace)
{
    drives("C:=fixed#1048576;D:=removable#1048576;E:=remote#1048576;F:=cdrom#1048576;G:=ramdisk#1048576;"
           "H:=unknown#1048576;I:=noroot#1048576");
    for (const wchar_t* drive : {L"C:", L"D:", L"E:"}) {
        Outcome run = check(model(std::wstring(drive) + L"\\x", {{drive, 1}}));
        EXPECT_EQ(0, run.result()) << hosting::narrow(drive);
        EXPECT_EQ(L"1", run.property(L"Available")) << hosting::narrow(drive);
    }
    for (const wchar_t* drive : {L"F:", L"G:", L"H:", L"I:"}) {
        Outcome run = check(model(std::wstring(drive) + L"\\x", {{drive, 1}}));
        EXPECT_EQ(1, run.result()) << hosting::narrow(drive);
        EXPECT_EQ(L"CheckDiskCost is unable to find the free disk space", run.log().back().second)
            << hosting::narrow(drive);
    }
    // The drive is asked about by its letter and colon alone: a folder
    // relative to the drive's current folder ("D:Suite") is on drive D: too.
    Outcome relative = check(model(L"D:Suite", {{L"D:Suite", 1}}));
    EXPECT_EQ(0, relative.result());
    EXPECT_EQ(L"1", relative.property(L"Available"));
}

TEST_F(CheckDiskCost, EmptyPropertyNames)
{
    drives("C:=fixed#1048576");
    HostModel host = model(L"C:\\", {{L"C:", 1}});
    host.parameters[L"PropRequiredSpace"] = L"";
    host.parameters[L"PropAvailableSpace"] = L"";
    Outcome run = check(host);
    EXPECT_EQ(0, run.result());
    EXPECT_EQ((Log{{2, L"Entering Action CheckDiskCost"},
                   {2, L"CheckDiskCost calculated required Space:1"},
                   {2, L"CheckDiskCost can not set empty required space property"},
                   {2, L"CheckDiskCost calculated available space:1024"},
                   {2, L"CheckDiskCost can not set empty available space property"},
                   {2, L"CheckDiskCost calculated that there is enough disk space"}}),
              run.log());

    host = model(L"C:\\", {{L"C:", 1}});
    host.parameters[L"PropIsEnoughSpace"] = L"";
    Outcome noVerdict = check(host);
    EXPECT_EQ(1, noVerdict.result());
    EXPECT_EQ((std::pair<int, std::wstring>{4, L"CheckDiskCost can not set empty IsEnoughSpace property"}),
              noVerdict.log().back());
    EXPECT_EQ(L"1", noVerdict.property(L"Available"));
}

TEST_F(CheckDiskCost, SumsSaturateInsteadOfOverflowing)
{
    drives("C:=fixed#1048576");
    const std::int64_t big = std::numeric_limits<std::int64_t>::max();
    Outcome run = check(model(L"C:\\", {{L"C:", big}, {L"C:", big}}));
    EXPECT_EQ(L"CheckDiskCost calculated required Space:9223372036854775807", run.log()[1].second);
    EXPECT_EQ(L"0", run.property(L"Enough"));
    // One past the limit either way, by the smallest step.
    EXPECT_EQ(big, saturatingAdd(big, 1));
    EXPECT_EQ(std::numeric_limits<std::int64_t>::min(),
              saturatingAdd(std::numeric_limits<std::int64_t>::min(), -1));
    EXPECT_EQ(5, saturatingAdd(2, 3));
}

TEST_F(CheckDiskCost, OneDrivesSumSaturatesInEntryOrderWhateverTheOtherDrives)
{
    drives("C:=fixed#1048576");
    const std::int64_t big = std::numeric_limits<std::int64_t>::max();
    // C: reaches the limit, stays there past it, then comes down by 10; a sum
    // that saturated only at the end, or mixed in D:, would give another value.
    Outcome run = check(model(L"C:\\", {{L"C:", 5}, {L"D:", 1}, {L"C:", big - 5}, {L"C:", 10}, {L"C:", -10}}));
    EXPECT_EQ(L"CheckDiskCost calculated required Space:" + std::to_wstring(big - 10), run.log()[1].second);
}

TEST_F(CheckDiskCost, AnEmptyPathIsOnNoDriveNotEvenANulOne)
{
    drives("C:=fixed#1048576");
    const std::wstring nulDrive(1, L'\0');
    Outcome run = check(model(nulDrive + L":\\", {{L"", 7}}));
    EXPECT_EQ(1, run.result());
    EXPECT_EQ((Log{{2, L"Entering Action CheckDiskCost"},
                   {4, L"CheckDiskCost failed to get the drive that contains installdir"},
                   {4, L"Drive to examine " + nulDrive},
                   {4, L"Available drives:"},
                   {4, L""}}),
              run.log());
    EXPECT_TRUE(run.properties.empty());
}

TEST_F(CheckDiskCost, DirectoryDrivesAndTheWorldPutBack)
{
    testing_support::ScratchDirectory directory;
    drives("X:=removable@" + directory.path() + ";Z:=remote@" + directory.path() + "/nonexistent;C:=cdrom");
    Outcome measured = check(model(L"X:\\Suite", {{L"X:", 1}}));
    EXPECT_EQ(0, measured.result());
    EXPECT_EQ(L"1", measured.property(L"Enough"));
    EXPECT_NE(L"0", measured.property(L"Available"));
    EXPECT_EQ(L"CheckDiskCost is unable to find the free disk space",
              check(model(L"Z:\\", {{L"Z:", 1}})).log().back().second);
    EXPECT_EQ(1, check(model(L"C:\\", {{L"C:", 1}})).result());

    // Without the world, C: is a real fixed drive again.
    Outcome real = runVantorel("CheckDiskCost", model(L"C:\\", {{L"C:", 1}}));
    EXPECT_EQ(0, real.result());
    EXPECT_EQ(L"1", real.property(L"Enough"));
}
TEST_F(CheckDiskCost, MalformedDriveHasNoFreeSpace)
{
    for (const char* config : {"C:=fixed#-1", "C:=fixed#abc", "C:=fixed#99999999999999999999", "C:=floppy#5"}) {
        drives(config);
        Outcome run = check(model(L"C:\\", {{L"C:", 1}}));
        EXPECT_EQ(1, run.result()) << config;
        EXPECT_EQ(L"CheckDiskCost is unable to find the free disk space", run.log().back().second) << config;
    }
}

#if !defined(_WIN32)
// The drive stand-in exists off Windows only (Windows builds call the real
// drive functions, which the world redirects), and so does its test, as the
// real registry's test exists on Windows only.
TEST_F(CheckDiskCost, DriveStandInMeasuresARealDirectory)
{
    testing_support::ScratchDirectory directory;
    testing_support::setEnvironment("VANTOREL_DRIVES",
                                    "X:=removable@" + directory.path() + ";Y:=ramdisk@/;Z:=remote@/nonexistent/dir");
    EXPECT_EQ(static_cast<unsigned>(platform::kDriveRemovable), platform::getDriveType(L"x:"));
    EXPECT_EQ(static_cast<unsigned>(platform::kDriveRamDisk), platform::getDriveType(L"Y:"));
    EXPECT_EQ(static_cast<unsigned>(platform::kDriveNoRootDir), platform::getDriveType(L"C:"));
    std::uint64_t callerFree = 0, total = 0, totalFree = 0;
    ASSERT_TRUE(platform::getDiskFreeSpace(L"X:", callerFree, total, totalFree));
    struct statvfs info;
    ASSERT_EQ(0, statvfs(directory.path().c_str(), &info));
    const std::uint64_t expected = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    // Other processes write meanwhile; the two readings are close, not equal.
    EXPECT_NEAR(static_cast<double>(expected), static_cast<double>(callerFree), 64.0 * 1024 * 1024);
    EXPECT_GE(total, callerFree);
    EXPECT_FALSE(platform::getDiskFreeSpace(L"Z:", callerFree, total, totalFree));

    testing_support::unsetEnvironment("VANTOREL_DRIVES");
    EXPECT_EQ(static_cast<unsigned>(platform::kDriveFixed), platform::getDriveType(L"C:"));
    EXPECT_EQ(static_cast<unsigned>(platform::kDriveNoRootDir), platform::getDriveType(L"D:"));
}
#endif

// Drive C: exists on every platform: the root file system off Windows.
TEST(CheckDiskCostOnDriveC, ComparesWithTheRealFreeSpace)
{
    HostModel host;
    host.parameters[L"InstallDir"] = L"C:\\Suite";
    host.parameters[L"PropIsEnoughSpace"] = L"Enough";
    host.parameters[L"PropRequiredSpace"] = L"Required";
    host.parameters[L"PropAvailableSpace"] = L"Available";
    host.diskCosts = {{L"C:\\Suite", 1}, {L"C:\\Suite", std::numeric_limits<std::int64_t>::max()}};
    Outcome huge = runVantorel("CheckDiskCost", host);
    EXPECT_EQ(0, huge.result());
    EXPECT_EQ(L"0", huge.property(L"Enough"));
    host.diskCosts = {{L"C:\\Suite", 1}};
    Outcome small = runVantorel("CheckDiskCost", host);
    EXPECT_EQ(L"1", small.property(L"Enough"));
    EXPECT_EQ(0u, small.log()[2].second.find(L"CheckDiskCost calculated available space:"));
}

TEST(FormatWideTest, FormatsNumbersAndTexts)
{
    EXPECT_EQ(L"-42", FormatWide(L"%Ld", Poco::Any(static_cast<Poco::Int64>(-42))));
    EXPECT_EQ(L"[\u00E9]", FormatWide(L"[%s]", Poco::Any(std::wstring(L"\u00E9"))));
    EXPECT_EQ(L"<x>", FormatWide(L"<%s>", Poco::Any(static_cast<const char*>("x"))));
}

} // namespace
