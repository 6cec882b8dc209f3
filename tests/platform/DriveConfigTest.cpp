// The drive configuration read by the drive stand-in and by the world's
// redirected drive queries.
#include "ActionTest.h"

#include "platform/DriveConfig.h"
#include "platform/Platform.h"

namespace {

// A malformed entry never becomes a drive with invented space.
TEST(DriveConfiguration, MalformedEntriesNeverBecomeDrives)
{
    const platform::DriveConfig parsed = platform::parseDriveConfig(
        "C:=fixed#-1;D:=fixed#abc;E:=fixed#18446744073709551616;F:=floppy;G:=fixed@;:=fixed#5;"
        "H:=fixed# 5;;I:=fixed#18446744073709551615;J:=cdrom;C:=fixed#7;kk:=fixed#1");
    ASSERT_EQ(8u, parsed.problems.size());
    EXPECT_EQ("malformed entry \"C:=fixed#-1\": free bytes must be decimal digits, from 0 to 18446744073709551615; "
              "drive C: has no root directory",
              parsed.problems[0]);
    EXPECT_EQ("malformed entry \":=fixed#5\": an entry is a drive letter, \":=\" and a type; ignored",
              parsed.problems[5]);
    for (char letter : std::string("CDEFGH")) {
        EXPECT_EQ(static_cast<unsigned>(platform::kDriveNoRootDir), parsed.drives.at(letter).type) << letter;
        EXPECT_FALSE(parsed.drives.at(letter).fixedBytes) << letter;
    }
    EXPECT_EQ(18446744073709551615ull, parsed.drives.at('I').freeBytes);
    EXPECT_EQ(static_cast<unsigned>(platform::kDriveCdRom), parsed.drives.at('J').type);

    // Read through a lookup, the problems are reported once for the text.
    testing::internal::CaptureStderr();
    platform::DriveEntry drive;
    EXPECT_TRUE(platform::findDrive("C:=fixed#-1;D:=fixed#1", L"d:", drive, "test"));
    EXPECT_EQ(1u, drive.freeBytes);
    EXPECT_TRUE(platform::findDrive("C:=fixed#-1;D:=fixed#1", L"C:", drive, "test"));
    EXPECT_EQ(static_cast<unsigned>(platform::kDriveNoRootDir), drive.type);
    // A root is the letter and colon, with or without the backslash; a path
    // that goes on is none, as for the Windows drive functions.
    EXPECT_TRUE(platform::findDrive("D:=fixed#1", L"D:\\", drive, "test"));
    for (const wchar_t* notRoot : {L"D:S", L"D:\\S", L"D", L"1:", L"\u00C4:"})
        EXPECT_FALSE(platform::findDrive("D:=fixed#1", notRoot, drive, "test")) << hosting::narrow(notRoot);
    EXPECT_EQ("test: malformed entry \"C:=fixed#-1\": free bytes must be decimal digits, from 0 to "
              "18446744073709551615; drive C: has no root directory\n",
              testing::internal::GetCapturedStderr());
}

} // namespace
