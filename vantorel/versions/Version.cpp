// Parsing and comparing dotted versions, revisions and SP levels.
#include "versions/Version.h"

#include "frame/Text.h"

#include <Poco/NumberParser.h>
#include <Poco/StringTokenizer.h>

bool tryParseInt(const std::wstring& text, int& value)
{
    return Poco::NumberParser::tryParse(utf8FromWide(text), value);
}

int parseInt(const std::wstring& text)
{
    return Poco::NumberParser::parse(utf8FromWide(text));
}

namespace {

bool isDigitGroup(const std::wstring& text, std::wstring::size_type begin, std::wstring::size_type end)
{
    if (begin >= end)
        return false;
    for (std::wstring::size_type i = begin; i < end; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    }
    return true;
}

} // namespace

bool isDottedRevision(const std::wstring& text, int dots)
{
    std::wstring::size_type begin = 0;
    for (int i = 0; i < dots; ++i) {
        const std::wstring::size_type dot = text.find(L'.', begin);
        if (dot == std::wstring::npos || dot + 1 == text.size() || !isDigitGroup(text, begin, dot))
            return false;
        begin = dot + 1;
    }
    return isDigitGroup(text, begin, text.size());
}

std::wstring getRevisionComponent(const std::wstring& text, std::size_t position)
{
    if (text.empty())
        return std::wstring();
    Poco::StringTokenizer tokens(utf8FromWide(text), ".",
                                 Poco::StringTokenizer::TOK_IGNORE_EMPTY | Poco::StringTokenizer::TOK_TRIM);
    if (position >= tokens.count())
        return std::wstring();
    return wideFromUtf8(tokens[position]);
}

std::vector<std::wstring> splitVersion(const std::wstring& text, wchar_t separator)
{
    std::vector<std::wstring> pieces;
    splitAny(text, std::wstring(1, separator), pieces);
    return pieces;
}

void splitAtLastDot(const std::wstring& revision, std::wstring& level, std::wstring& last)
{
    const std::wstring::size_type dot = revision.rfind(L'.');
    if (dot == std::wstring::npos) {
        level.clear();
        last = revision;
        return;
    }
    level = revision.substr(0, dot);
    last = revision.substr(dot + 1);
}
