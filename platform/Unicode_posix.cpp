#include "platform/Platform.h"

#include <Poco/UnicodeConverter.h>

#include <cstring>
#include <cwchar>
#include <exception>

namespace platform {

namespace {

// Copies a converted string with its terminator, WideCharToMultiByte style:
// a too-small buffer is a failure (0).
template <typename Char, typename String>
int deliver(const String& converted, Char* dst, int dstUnits)
{
    const std::size_t needed = converted.size() + 1;
    if (needed > static_cast<std::size_t>(0x7fffffff))
        return 0;
    if (dst == nullptr || dstUnits == 0)
        return static_cast<int>(needed);
    if (dstUnits < 0 || static_cast<std::size_t>(dstUnits) < needed)
        return 0;
    std::memcpy(dst, converted.data(), converted.size() * sizeof(Char));
    dst[converted.size()] = 0;
    return static_cast<int>(needed);
}

} // namespace

int wideToUtf8(const wchar_t* src, char* dst, int dstUnits)
{
    if (src == nullptr)
        return 0;
    try {
        std::string utf8;
        Poco::UnicodeConverter::convert(std::wstring(src, std::wcslen(src)), utf8);
        return deliver(utf8, dst, dstUnits);
    } catch (const std::exception&) {
        return 0;
    }
}

int utf8ToWide(const char* src, wchar_t* dst, int dstUnits)
{
    if (src == nullptr)
        return 0;
    try {
        std::wstring wide;
        Poco::UnicodeConverter::convert(std::string(src), wide);
        return deliver(wide, dst, dstUnits);
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace platform
