// Text conversion, comparison, splitting and formatting shared by the actions.
#include "frame/Text.h"

#include "platform/Platform.h"

#include <Poco/UTF8String.h>

std::string utf8FromWide(const std::wstring& text)
{
    return std::string(utf8BufferFromWide(text).get());
}

std::wstring wideFromUtf8(const std::string& bytes)
{
    return std::wstring(wideBufferFromUtf8(bytes).get());
}

// Both conversions run in two passes, as the Windows functions want: ask for
// the length including the terminator, then convert into exactly that much.
boost::shared_array<char> utf8BufferFromWide(const std::wstring& text)
{
    const int units = platform::wideToUtf8(text.c_str(), nullptr, 0);
    if (units > 0) {
        boost::shared_array<char> buffer(new char[units]);
        if (platform::wideToUtf8(text.c_str(), buffer.get(), units) == units)
            return buffer;
    }
    boost::shared_array<char> empty(new char[1]);
    empty[0] = '\0';
    return empty;
}

boost::shared_array<wchar_t> wideBufferFromUtf8(const std::string& bytes)
{
    const int units = platform::utf8ToWide(bytes.c_str(), nullptr, 0);
    if (units > 0) {
        boost::shared_array<wchar_t> buffer(new wchar_t[units]);
        if (platform::utf8ToWide(bytes.c_str(), buffer.get(), units) == units)
            return buffer;
    }
    boost::shared_array<wchar_t> empty(new wchar_t[1]);
    empty[0] = L'\0';
    return empty;
}

void appendWideFromUtf8(const std::string& bytes, std::wstring& text)
{
    const int units = platform::utf8ToWide(bytes.c_str(), nullptr, 0);
    if (units <= 0)
        return;
    const std::size_t start = text.size();
    text.resize(start + static_cast<std::size_t>(units));
    if (platform::utf8ToWide(bytes.c_str(), &text[start], units) != units) {
        text.resize(start);
        return;
    }
    // The text ends at the terminator, as wideFromUtf8's does.
    text.resize(text.find(L'\0', start));
}

int compareNoCase(const std::wstring& a, const std::wstring& b)
{
    return Poco::UTF8::icompare(utf8FromWide(a), utf8FromWide(b));
}

void splitAny(const std::wstring& text, const std::wstring& delimiters, std::vector<std::wstring>& list)
{
    std::wstring::size_type pos = 0;
    for (;;) {
        const std::wstring::size_type start = text.find_first_not_of(delimiters, pos);
        if (start == std::wstring::npos)
            return;
        pos = text.find_first_of(delimiters, start);
        if (pos == std::wstring::npos) {
            list.push_back(text.substr(start));
            return;
        }
        list.push_back(text.substr(start, pos - start));
    }
}

const wchar_t kWhiteSpace[] = L"\t\n\v\f\r ";

std::wstring trimWhiteSpace(const std::wstring& text)
{
    const std::wstring::size_type first = text.find_first_not_of(kWhiteSpace);
    if (first == std::wstring::npos)
        return std::wstring();
    const std::wstring::size_type last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

std::wstring boolToText(bool value)
{
    return value ? L"true" : L"false";
}

void lowerCase(std::wstring& text)
{
    std::string utf8 = utf8FromWide(text);
    Poco::UTF8::toLowerInPlace(utf8);
    text = wideFromUtf8(utf8);
}

std::wstring lowerCaseCopy(const std::wstring& text)
{
    std::wstring copy(text);
    lowerCase(copy);
    return copy;
}
