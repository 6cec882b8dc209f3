// Reader of the Windows registry-export text format ("Windows Registry Editor
// Version 5.00"), used by the registry stand-in of builds without Windows.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace platform {

struct RegistryValue {
    std::uint32_t type = 1;            // REG_SZ unless the file says otherwise
    std::vector<unsigned char> data;   // the value's bytes, as RegQueryValueExW returns them
};

// Key paths below the hive and value names are compared without regard to
// ASCII case, as the registry does.
struct CaseInsensitiveLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

typedef std::map<std::wstring, RegistryValue, CaseInsensitiveLess> RegistryValues;
typedef std::map<std::wstring, RegistryValues, CaseInsensitiveLess> RegistryKeys;

// Parses export text (UTF-8, with or without BOM; or UTF-16LE with BOM).
// Only keys under HKEY_LOCAL_MACHINE are kept, by their path below the hive.
// Supported value forms: "Name"="text" (escapes \\ and \"), @="text" (the
// default value, name ""), dword:XXXXXXXX, hex:..., and hex(N):... whose bytes
// are UTF-16LE for the string types 1, 2 and 7 (no terminator is added, so a
// value may lack one). Lines that do not parse are ignored.
RegistryKeys parseRegistryExport(const std::string& bytes);

// Reads and parses a file; an unreadable file gives no keys.
RegistryKeys loadRegistryExport(const std::string& path);

// Writes text of the export format for string values: each value as the
// hex(1) bytes of its UTF-16LE text, so that it reaches the reader byte for
// byte. Key paths and value names hold no line break (the format cannot).
std::string registryExportText(const std::map<std::wstring, std::map<std::wstring, std::wstring> >& keys);

} // namespace platform
