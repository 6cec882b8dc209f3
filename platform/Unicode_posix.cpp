// UTF-8 and UTF-16 conversion where there is no Windows, with POCO: the stand-in of the code-page functions.
#include "platform/Platform.h"

#include <Poco/TextIterator.h>
#include <Poco/UTF8Encoding.h>
#include <Poco/UnicodeConverter.h>

#include <cstring>
#include <cwchar>
#include <exception>

namespace platform {

namespace {

// What a conversion needing `needed` units (terminator included) reports
// before it writes, WideCharToMultiByte style: 0 for a failure (too long, a
// too-small buffer, or no buffer for a size other than 0), the count when
// only asked for it (a size of 0), -1 to go on writing.
int room(std::size_t needed, const void* dst, int dstUnits)
{
    if (needed > static_cast<std::size_t>(0x7fffffff))
        return 0;
    if (dstUnits == 0)
        return static_cast<int>(needed);
    if (dst == nullptr || dstUnits < 0 || static_cast<std::size_t>(dstUnits) < needed)
        return 0;
    return -1;
}

// Copies a converted string with its terminator.
template <typename Char, typename String>
int deliver(const String& converted, Char* dst, int dstUnits)
{
    const std::size_t needed = converted.size() + 1;
    const int answer = room(needed, dst, dstUnits);
    if (answer >= 0)
        return answer;
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

// Decodes UTF-8 as Poco::UnicodeConverter does (one code unit per
// character; an invalid sequence gives the unit -1), handing each unit to
// visit, so that the text is counted and written without a growing copy.
template <typename Visit>
void decodeUtf8(const char* src, Visit visit)
{
    const std::string bytes(src);
    Poco::UTF8Encoding encoding;
    Poco::TextIterator it(bytes, encoding);
    const Poco::TextIterator end(bytes);
    while (it != end)
        visit(static_cast<wchar_t>(*it++));
}

int utf8ToWide(const char* src, wchar_t* dst, int dstUnits)
{
    if (src == nullptr)
        return 0;
    try {
        std::size_t needed = 1;
        decodeUtf8(src, [&needed](wchar_t) { ++needed; });
        const int answer = room(needed, dst, dstUnits);
        if (answer >= 0)
            return answer;
        wchar_t* out = dst;
        decodeUtf8(src, [&out](wchar_t unit) { *out++ = unit; });
        *out = 0;
        return static_cast<int>(needed);
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace platform
