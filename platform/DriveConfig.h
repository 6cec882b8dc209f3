// The drive stand-in's configuration text, as VANTOREL_DRIVES holds it:
//
//   C:=fixed@/;D:=removable@/media/usb;E:=cdrom;F:=fixed#1048576
//
// Each entry is LETTER ":=" TYPE, optionally followed by "@" and a directory
// whose free space is measured there, or "#" and a fixed number of free
// bytes. Types: unknown, noroot, removable, fixed, remote, cdrom, ramdisk.
// The stand-in of builds without Windows reads it; on Windows a host that
// simulates drives for a library reads the same text.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct DriveEntry {
    unsigned type = 1;           // kDriveNoRootDir
    std::string directory;       // measured when not empty
    bool fixedBytes = false;     // true: freeBytes holds the answer
    std::uint64_t freeBytes = 0;
};

// Finds the entry for the drive of a root such as "C:" (the letter compared
// without regard to case, as Windows does). False when the root names no
// drive or the configuration does not list it.
bool findDrive(const std::string& config, const std::wstring& root, DriveEntry& drive);

} // namespace platform
