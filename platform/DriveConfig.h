// The drive stand-in's configuration text, as VANTOREL_DRIVES holds it:
//
//   C:=fixed@/;D:=removable@/media/usb;E:=cdrom;F:=fixed#1048576
//
// Each entry is LETTER ":=" TYPE, optionally followed by "@" and a directory
// whose free space is measured there, or "#" and a fixed number of free
// bytes (decimal digits, at most 2^64 - 1). In the directory "%HH" stands for
// the byte HH: "%3B" for ";", "%25" for "%". Types: unknown, noroot,
// removable, fixed, remote, cdrom, ramdisk. Empty entries are ignored. The
// stand-in of builds without Windows reads it; on Windows a host that
// simulates drives for a library reads the same text.
//
// A malformed entry never becomes a drive: its letter (where it has one)
// answers "no root directory", and the reader writes one line to standard
// error naming the entry, once for each configuration text.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace platform {

struct DriveEntry {
    unsigned type = 1;           // kDriveNoRootDir
    std::string directory;       // measured when not empty
    bool fixedBytes = false;     // true: freeBytes holds the answer
    std::uint64_t freeBytes = 0;
};

struct DriveConfig {
    // By upper-case letter; the first entry of a letter counts.
    std::map<char, DriveEntry> drives;
    // One line for each malformed entry: the entry and what is wrong with it.
    std::vector<std::string> problems;
};

// The types an entry may name, indexed by the code GetDriveTypeW answers for
// them: "unknown", "noroot", "removable", "fixed", "remote", "cdrom", "ramdisk".
const std::vector<std::string>& driveTypeNames();

// A directory as an entry holds it: "%" and ";" encoded.
std::string encodeDriveDirectory(const std::string& directory);

// Parses the whole text; never throws for any input.
DriveConfig parseDriveConfig(const std::string& config);

// True for the root of a drive as the drive functions take it: a letter and
// a colon, "C:", or with the backslash, "C:\". Text that goes on past the
// colon ("C:Suite", a path relative to the drive's current folder) is no root.
bool isDriveRoot(const std::wstring& root);

// Finds the entry for the drive of a root such as "C:" (the letter compared
// without regard to case, as Windows does). False when the root names no
// drive or the configuration does not list it (or lists it malformed). The
// problems of a text are written to standard error, prefixed by source, the
// first time the text is read.
bool findDrive(const std::string& config, const std::wstring& root, DriveEntry& drive,
               const char* source = "VANTOREL_DRIVES");

} // namespace platform
