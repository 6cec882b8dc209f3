// Reading and writing the registry-export text that the registry stand-in keeps.
#include "platform/RegistryFile.h"

#include "platform/Platform.h"

#include <Poco/UnicodeConverter.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <sstream>
#include <utility>

namespace platform {

namespace {

const wchar_t kLocalMachine[] = L"HKEY_LOCAL_MACHINE\\";
const wchar_t kLocalMachineShort[] = L"HKLM\\";

wchar_t foldAscii(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

std::wstring toWide(const std::string& bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring text;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned unit = static_cast<unsigned char>(bytes[i]) |
                            (static_cast<unsigned char>(bytes[i + 1]) << 8);
            // Pairs of surrogates become one code point where wchar_t is wide enough.
            if (sizeof(wchar_t) == 4 && unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
                unsigned low = static_cast<unsigned char>(bytes[i + 2]) |
                               (static_cast<unsigned char>(bytes[i + 3]) << 8);
                if (low >= 0xDC00 && low < 0xE000) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            text.push_back(static_cast<wchar_t>(unit));
        }
        return text;
    }
    const bool bom = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::wstring text;
    // The converter clears the text but keeps its capacity: no regrowth.
    text.reserve(bytes.size());
    if (bom)
        Poco::UnicodeConverter::convert(bytes.substr(3), text);
    else
        Poco::UnicodeConverter::convert(bytes, text);
    return text;
}

// Reads a quoted string starting at pos (which holds the opening quote);
// returns false when it is not closed.
bool readQuoted(const std::wstring& line, std::size_t& pos, std::wstring& out)
{
    if (pos >= line.size() || line[pos] != L'"')
        return false;
    out.reserve(line.size() - pos);
    for (++pos; pos < line.size(); ++pos) {
        wchar_t c = line[pos];
        if (c == L'\\' && pos + 1 < line.size()) {
            out.push_back(line[++pos]);
        } else if (c == L'"') {
            ++pos;
            return true;
        } else {
            out.push_back(c);
        }
    }
    return false;
}

bool parseHexBytes(const std::wstring& text, std::vector<unsigned char>& out)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (text[pos] == L',' || std::iswspace(text[pos]) || text[pos] == L'\\'))
            ++pos;
        if (pos >= text.size())
            break;
        if (pos + 1 >= text.size() || !std::iswxdigit(text[pos]) || !std::iswxdigit(text[pos + 1]))
            return false;
        out.push_back(static_cast<unsigned char>(std::wcstoul(text.substr(pos, 2).c_str(), nullptr, 16)));
        pos += 2;
    }
    return true;
}

bool parseValue(const std::wstring& line, std::wstring& name, RegistryValue& value)
{
    std::size_t pos = 0;
    if (line[0] == L'@') {
        pos = 1;
    } else if (!readQuoted(line, pos, name)) {
        return false;
    }
    if (pos >= line.size() || line[pos] != L'=')
        return false;
    const std::wstring data = line.substr(pos + 1);
    if (!data.empty() && data[0] == L'"') {
        std::size_t at = 0;
        std::wstring text;
        if (!readQuoted(data, at, text))
            return false;
        value.type = 1;
        value.data = utf16Value(text);
        return true;
    }
    if (data.compare(0, 6, L"dword:") == 0) {
        const unsigned long number = std::wcstoul(data.c_str() + 6, nullptr, 16);
        value.type = 4;
        for (int i = 0; i < 4; ++i)
            value.data.push_back(static_cast<unsigned char>((number >> (8 * i)) & 0xFF));
        return true;
    }
    if (data.compare(0, 3, L"hex") == 0) {
        std::size_t colon = data.find(L':');
        if (colon == std::wstring::npos)
            return false;
        value.type = 3;
        if (data.size() > 4 && data[3] == L'(')
            value.type = static_cast<std::uint32_t>(std::wcstoul(data.c_str() + 4, nullptr, 16));
        return parseHexBytes(data.substr(colon + 1), value.data);
    }
    return false;
}

// ;query:"Name" first-size=N second-fails, for the named value of the key.
void parseQueryLine(const std::wstring& line, RegistryValues& values)
{
    std::size_t pos = 7;  // past ";query:"
    std::wstring name;
    if (!readQuoted(line, pos, name))
        return;
    bool hasSize = false;
    unsigned long long size = 0;
    bool fails = false;
    std::wistringstream words(line.substr(pos));
    std::wstring word;
    while (words >> word) {
        if (word == L"second-fails") {
            fails = true;
        } else if (word.compare(0, 11, L"first-size=") == 0 && word.size() > 11 &&
                   word.find_first_not_of(L"0123456789", 11) == std::wstring::npos && word.size() <= 21) {
            size = std::wcstoull(word.c_str() + 11, nullptr, 10);
            if (size > 0xFFFFFFFFull)
                return;
            hasSize = true;
        } else {
            return;
        }
    }
    auto found = values.find(name);
    if (found == values.end())
        return;
    found->second.hasReportedSize = hasSize;
    found->second.reportedSize = static_cast<std::uint32_t>(size);
    found->second.secondQueryFails = fails;
}

} // namespace

std::vector<unsigned char> utf16Value(const std::wstring& text)
{
    std::vector<unsigned char> bytes;
    bytes.reserve((text.size() + 1) * 2);
    auto unit = [&bytes](unsigned code) {
        bytes.push_back(static_cast<unsigned char>(code & 0xFFu));
        bytes.push_back(static_cast<unsigned char>((code >> 8) & 0xFFu));
    };
    for (wchar_t c : text) {
        const unsigned code = static_cast<unsigned>(c);
        if (code > 0xFFFF) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    unit(0);
    return bytes;
}

std::vector<unsigned char> nativeWideBytes(const std::vector<unsigned char>& bytes)
{
    if (sizeof(wchar_t) == 2)
        return bytes;
    std::wstring units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned unit = bytes[i] | (bytes[i + 1] << 8);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const unsigned low = bytes[i + 2] | (bytes[i + 3] << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        units.push_back(static_cast<wchar_t>(unit));
    }
    const unsigned char* begin = reinterpret_cast<const unsigned char*>(units.data());
    return std::vector<unsigned char>(begin, begin + units.size() * sizeof(wchar_t));
}

long answerQuery(const RegistryValue& value, const std::vector<unsigned char>& bytes, std::uint32_t* type,
                 unsigned char* data, std::uint32_t* size)
{
    if (type)
        *type = value.type;
    if (size == nullptr)
        return data == nullptr ? kErrorSuccess : kErrorInvalidHandle;
    const std::uint32_t held = static_cast<std::uint32_t>(bytes.size());
    if (data == nullptr) {
        // A reported size counts the registry's bytes; it grows with them.
        const unsigned long long scaled = static_cast<unsigned long long>(value.reportedSize) * sizeof(wchar_t) / 2;
        *size = !value.hasReportedSize ? held
                                       : static_cast<std::uint32_t>(std::min<unsigned long long>(scaled, 0xFFFFFFFFull));
        return kErrorSuccess;
    }
    if (value.secondQueryFails || *size < held) {
        *size = held;
        return kErrorMoreData;
    }
    if (held != 0)
        std::memcpy(data, bytes.data(), held);
    *size = held;
    return kErrorSuccess;
}

bool CaseInsensitiveLess::operator()(const std::wstring& a, const std::wstring& b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return foldAscii(x) < foldAscii(y); });
}

RegistryKeys parseRegistryExport(const std::string& bytes)
{
    RegistryKeys keys;
    const std::wstring text = toWide(bytes);
    std::wstring line;
    std::wstring pending;
    RegistryValues* current = nullptr;
    // Lines end with LF; each is looked at where it stands, so the reading
    // stays linear in the size of the text.
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::size_t next = end + 1;
        if (end > start && text[end - 1] == L'\r')
            --end;
        // A line ending in a backslash continues on the next one (hex lists).
        if (end > start && text[end - 1] == L'\\') {
            pending.append(text, start, end - 1 - start);
            start = next;
            continue;
        }
        if (pending.empty()) {
            line.assign(text, start, end - start);
        } else {
            line.swap(pending);
            line.append(text, start, end - start);
            pending.clear();
        }
        start = next;
        const std::size_t first = line.find_first_not_of(L" \t");
        if (first == std::wstring::npos)
            continue;
        line.erase(0, first);
        if (line[0] == L';') {
            if (current != nullptr && line.compare(0, 7, L";query:") == 0)
                parseQueryLine(line, *current);
            continue;
        }
        if (line[0] == L'[') {
            current = nullptr;
            const std::size_t close = line.rfind(L']');
            if (close == std::wstring::npos)
                continue;
            std::wstring path = line.substr(1, close - 1);
            CaseInsensitiveLess less;
            for (const wchar_t* prefix : {kLocalMachine, kLocalMachineShort}) {
                const std::wstring hive(prefix);
                const std::wstring head = path.substr(0, hive.size());
                if (!less(head, hive) && !less(hive, head)) {
                    current = &keys[path.substr(hive.size())];
                    break;
                }
            }
            continue;
        }
        if (current == nullptr)
            continue;
        std::wstring name;
        RegistryValue value;
        if (parseValue(line, name, value))
            (*current)[name] = std::move(value);
    }
    return keys;
}

RegistryKeys loadRegistryExport(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return RegistryKeys();
    std::ostringstream content;
    content << in.rdbuf();
    return parseRegistryExport(content.str());
}

std::string registryExportText(const RegistryKeys& keys)
{
    std::wstring text = L"Windows Registry Editor Version 5.00\r\n";
    auto escape = [](const std::wstring& raw) {
        std::wstring out;
        for (wchar_t c : raw) {
            if (c == L'\\' || c == L'"')
                out.push_back(L'\\');
            out.push_back(c);
        }
        return out;
    };
    static const wchar_t kDigits[] = L"0123456789abcdef";
    for (const auto& key : keys) {
        text += L"\r\n[" + std::wstring(kLocalMachine) + key.first + L"]\r\n";
        for (const auto& value : key.second) {
            const std::wstring name = L"\"" + escape(value.first) + L"\"";
            std::wostringstream type;
            type << std::hex << value.second.type;
            text += name + L"=hex(" + type.str() + L"):";
            for (std::size_t i = 0; i < value.second.data.size(); ++i) {
                const unsigned byte = value.second.data[i];
                if (i != 0)
                    text.push_back(L',');
                text.push_back(kDigits[byte >> 4]);
                text.push_back(kDigits[byte & 0xF]);
            }
            text += L"\r\n";
            if (value.second.simulatesQueries()) {
                text += L";query:" + name;
                if (value.second.hasReportedSize)
                    text += L" first-size=" + std::to_wstring(value.second.reportedSize);
                if (value.second.secondQueryFails)
                    text += L" second-fails";
                text += L"\r\n";
            }
        }
    }
    std::string utf8;
    Poco::UnicodeConverter::convert(text, utf8);
    return utf8;
}

} // namespace platform
