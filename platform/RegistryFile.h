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
    // The value's bytes as the registry holds them (UTF-16LE for text), as
    // RegQueryValueExW returns them on Windows.
    std::vector<unsigned char> data;
    // What a query without a buffer reports as the size, where that is not
    // the count of the bytes: a value that grows before it is read, or one
    // no allocation can hold.
    bool hasReportedSize = false;
    std::uint32_t reportedSize = 0;
    // A query with a buffer fails with ERROR_MORE_DATA, as if the value had
    // grown since the size was asked.
    bool secondQueryFails = false;

    // The value answers its queries otherwise than the registry would.
    bool simulatesQueries() const { return hasReportedSize || secondQueryFails; }
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
// are kept as written (no terminator is added, so a text may lack one).
// A comment line of the form
//     ;query:"Name" first-size=4294967295 second-fails
// gives the value of that name, in the key above it, the answers of
// simulatesQueries(); registry tools read it as a comment. Lines that do not
// parse are ignored.
RegistryKeys parseRegistryExport(const std::string& bytes);

// Reads and parses a file; an unreadable file gives no keys.
RegistryKeys loadRegistryExport(const std::string& path);

// The UTF-16LE bytes of a text and its terminator: a REG_SZ value of it.
std::vector<unsigned char> utf16Value(const std::wstring& text);

// The bytes a wide query returns where wchar_t is wider than the registry's
// two bytes: each two bytes become one wchar_t (a surrogate pair one
// character), whatever the type, since the one reader there is reads every
// type as text; a last odd byte is dropped. Where wchar_t has two bytes, the
// bytes as they are.
std::vector<unsigned char> nativeWideBytes(const std::vector<unsigned char>& bytes);

// RegQueryValueExW's answer for a value whose bytes, in the width the caller
// reads, are given: with data null the size (the reported one, where the
// value has one, scaled like the bytes); with a buffer, the bytes, or
// ERROR_MORE_DATA and the size needed.
long answerQuery(const RegistryValue& value, const std::vector<unsigned char>& bytes, std::uint32_t* type,
                 unsigned char* data, std::uint32_t* size);

// Writes text of the export format: each value as the hex(type) bytes it
// holds, so that it reaches the reader byte for byte, and a ;query: line for
// a value that simulates its queries. Key paths and value names hold no line
// break (the format cannot).
std::string registryExportText(const RegistryKeys& keys);

} // namespace platform
