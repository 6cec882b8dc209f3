// Drive stand-in for builds without Windows. A drive root "X:" maps to a
// simulated drive described by the environment variable VANTOREL_DRIVES (see
// DriveConfig.h). A letter not listed has no root directory. Without the
// variable, C: is the root file system, fixed, and no other drive exists.
#include "platform/DriveConfig.h"
#include "platform/Platform.h"

#include <sys/statvfs.h>

#include <cstdlib>

namespace platform {

namespace {

DriveEntry lookUp(const std::wstring& root)
{
    DriveEntry drive;
    const char* config = std::getenv("VANTOREL_DRIVES");
    if (config == nullptr) {
        if (isDriveRoot(root) && (root[0] == L'C' || root[0] == L'c')) {
            drive.type = kDriveFixed;
            drive.directory = "/";
        }
        return drive;
    }
    findDrive(config, root, drive);
    return drive;
}

} // namespace

unsigned getDriveType(const std::wstring& root)
{
    return lookUp(root).type;
}

bool getDiskFreeSpace(const std::wstring& root, std::uint64_t& freeToCaller,
                      std::uint64_t& totalBytes, std::uint64_t& totalFree)
{
    const DriveEntry drive = lookUp(root);
    if (drive.type == kDriveNoRootDir || drive.type == kDriveUnknown)
        return false;
    if (drive.fixedBytes) {
        freeToCaller = totalBytes = totalFree = drive.freeBytes;
        return true;
    }
    if (drive.directory.empty())
        return false;
    struct statvfs info;
    if (::statvfs(drive.directory.c_str(), &info) != 0)
        return false;
    freeToCaller = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    totalBytes = static_cast<std::uint64_t>(info.f_blocks) * info.f_frsize;
    totalFree = static_cast<std::uint64_t>(info.f_bfree) * info.f_frsize;
    return true;
}

} // namespace platform
