// Drive stand-in for builds without Windows. A drive root "X:" maps to a
// simulated drive described by the environment variable VANTOREL_DRIVES:
//
//   C:=fixed@/;D:=removable@/media/usb;E:=cdrom;F:=fixed#1048576
//
// Each entry is LETTER ":=" TYPE, optionally followed by "@" and a directory
// whose free space statvfs measures, or "#" and a fixed number of free bytes.
// Types: unknown, noroot, removable, fixed, remote, cdrom, ramdisk. A letter
// not listed has no root directory. Without the variable, C: is the root file
// system, fixed, and no other drive exists.
#include "platform/Platform.h"

#include <sys/statvfs.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

struct SimulatedDrive {
    unsigned type = kDriveNoRootDir;
    std::string directory;       // measured with statvfs when not empty
    bool fixedBytes = false;     // true: freeBytes holds the answer
    std::uint64_t freeBytes = 0;
};

unsigned typeFromName(const std::string& name)
{
    static const char* const kNames[] = {"unknown", "noroot", "removable", "fixed",
                                         "remote", "cdrom", "ramdisk"};
    for (unsigned i = 0; i < sizeof(kNames) / sizeof(kNames[0]); ++i) {
        if (name == kNames[i])
            return i;
    }
    return kDriveUnknown;
}

// Finds the drive for a root of the form letter + ":"; the letter is
// compared without regard to case, as Windows does.
SimulatedDrive lookUp(const std::wstring& root)
{
    SimulatedDrive drive;
    if (root.size() < 2 || root[1] != L':' || root[0] > 0x7f || !std::isalpha(static_cast<int>(root[0])))
        return drive;
    const char letter = static_cast<char>(std::toupper(static_cast<int>(root[0])));

    const char* config = std::getenv("VANTOREL_DRIVES");
    if (config == nullptr) {
        if (letter == 'C') {
            drive.type = kDriveFixed;
            drive.directory = "/";
        }
        return drive;
    }
    std::string entries(config);
    std::size_t start = 0;
    while (start <= entries.size()) {
        std::size_t end = entries.find(';', start);
        if (end == std::string::npos)
            end = entries.size();
        const std::string entry = entries.substr(start, end - start);
        start = end + 1;
        if (entry.size() < 4 || entry.compare(1, 2, ":=") != 0 ||
            std::toupper(static_cast<unsigned char>(entry[0])) != letter)
            continue;
        const std::string rest = entry.substr(3);
        const std::size_t mark = rest.find_first_of("@#");
        drive.type = typeFromName(rest.substr(0, mark));
        if (mark != std::string::npos) {
            const std::string where = rest.substr(mark + 1);
            if (rest[mark] == '@') {
                drive.directory = where;
            } else {
                drive.fixedBytes = true;
                drive.freeBytes = std::strtoull(where.c_str(), nullptr, 10);
            }
        }
        return drive;
    }
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
    const SimulatedDrive drive = lookUp(root);
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
