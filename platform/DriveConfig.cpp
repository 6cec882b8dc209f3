// Reading the drive stand-in's configuration text.
#include "platform/DriveConfig.h"

#include "platform/Platform.h"

#include <cstdio>
#include <limits>
#include <mutex>

namespace platform {

namespace {

bool typeFromName(const std::string& name, unsigned& type)
{
    const std::vector<std::string>& names = driveTypeNames();
    for (unsigned i = 0; i < names.size(); ++i) {
        if (name == names[i]) {
            type = i;
            return true;
        }
    }
    return false;
}

// "unknown, noroot, ...", for messages.
std::string driveTypeList()
{
    std::string list;
    for (const std::string& name : driveTypeNames())
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Decimal digits only, no sign, no blanks, within 64 bits.
bool parseBytes(const std::string& text, std::uint64_t& bytes)
{
    if (text.empty())
        return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    bytes = value;
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "%HH" stands for the byte HH, so that a directory can hold ";" (%3B) and
// "%" (%25).
bool decodePercent(const std::string& text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        const int high = i + 1 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0)
            return false;
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return true;
}

// Reads one entry; "" when it is sound, else what is wrong with it.
std::string readEntry(const std::string& entry, DriveEntry& drive)
{
    if (entry.size() < 3 || entry.compare(1, 2, ":=") != 0 || !isAsciiLetter(entry[0]))
        return "an entry is a drive letter, \":=\" and a type";
    const std::string rest = entry.substr(3);
    const std::size_t mark = rest.find_first_of("@#");
    if (!typeFromName(rest.substr(0, mark), drive.type))
        return "unknown drive type \"" + rest.substr(0, mark) + "\" (" + driveTypeList() + ")";
    if (mark == std::string::npos)
        return std::string();
    const std::string where = rest.substr(mark + 1);
    if (rest[mark] == '@') {
        if (where.empty())
            return "\"@\" needs a directory";
        if (!decodePercent(where, drive.directory))
            return "\"%\" in a directory stands before two hex digits";
        return std::string();
    }
    if (!parseBytes(where, drive.freeBytes))
        return "free bytes must be decimal digits, from 0 to 18446744073709551615";
    drive.fixedBytes = true;
    return std::string();
}

std::mutex reportGuard;
std::string lastReported;

void reportOnce(const std::string& config, const DriveConfig& parsed, const char* source)
{
    if (parsed.problems.empty())
        return;
    std::lock_guard<std::mutex> lock(reportGuard);
    if (config == lastReported)
        return;
    lastReported = config;
    for (const std::string& problem : parsed.problems)
        std::fprintf(stderr, "%s: %s\n", source, problem.c_str());
}

} // namespace

const std::vector<std::string>& driveTypeNames()
{
    static const std::vector<std::string> names = {"unknown", "noroot", "removable", "fixed",
                                                   "remote", "cdrom", "ramdisk"};
    return names;
}

std::string encodeDriveDirectory(const std::string& directory)
{
    std::string out;
    for (char c : directory) {
        if (c == '%')
            out += "%25";
        else if (c == ';')
            out += "%3B";
        else
            out.push_back(c);
    }
    return out;
}

DriveConfig parseDriveConfig(const std::string& config)
{
    DriveConfig parsed;
    std::size_t start = 0;
    while (start <= config.size()) {
        std::size_t end = config.find(';', start);
        if (end == std::string::npos)
            end = config.size();
        const std::string entry = config.substr(start, end - start);
        start = end + 1;
        if (entry.empty())
            continue;
        DriveEntry drive;
        const std::string problem = readEntry(entry, drive);
        const bool hasLetter = isAsciiLetter(entry[0]) && entry.size() >= 2 && entry[1] == ':';
        if (!problem.empty()) {
            parsed.problems.push_back("malformed entry \"" + entry + "\": " + problem +
                                      (hasLetter ? std::string("; drive ") + upper(entry[0]) + ": has no root directory"
                                                 : std::string("; ignored")));
            drive = DriveEntry();
        }
        if (hasLetter)
            parsed.drives.insert(std::make_pair(upper(entry[0]), drive));
    }
    return parsed;
}

bool isDriveRoot(const std::wstring& root)
{
    if (root.size() < 2 || root.size() > 3 || root[1] != L':' || (root.size() == 3 && root[2] != L'\\'))
        return false;
    return root[0] <= 0x7f && isAsciiLetter(static_cast<char>(root[0]));
}

bool findDrive(const std::string& config, const std::wstring& root, DriveEntry& drive, const char* source)
{
    drive = DriveEntry();
    const DriveConfig parsed = parseDriveConfig(config);
    reportOnce(config, parsed, source);
    if (!isDriveRoot(root))
        return false;
    auto found = parsed.drives.find(upper(static_cast<char>(root[0])));
    if (found == parsed.drives.end())
        return false;
    drive = found->second;
    return true;
}

} // namespace platform
