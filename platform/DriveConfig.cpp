#include "platform/DriveConfig.h"

#include "platform/Platform.h"

#include <cctype>
#include <cstdlib>

namespace platform {

namespace {

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

} // namespace

bool findDrive(const std::string& config, const std::wstring& root, DriveEntry& drive)
{
    drive = DriveEntry();
    if (root.size() < 2 || root[1] != L':' || root[0] > 0x7f || !std::isalpha(static_cast<int>(root[0])))
        return false;
    const char letter = static_cast<char>(std::toupper(static_cast<int>(root[0])));
    std::size_t start = 0;
    while (start <= config.size()) {
        std::size_t end = config.find(';', start);
        if (end == std::string::npos)
            end = config.size();
        const std::string entry = config.substr(start, end - start);
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
        return true;
    }
    return false;
}

} // namespace platform
