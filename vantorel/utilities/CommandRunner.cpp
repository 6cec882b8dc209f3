// What the two command actions share: running "CmdLine" through the command
// processor, and the list and number helpers of the status mapping.
#include "utilities/CommandRunner.h"

#include "frame/Action.h"
#include "names/Names.h"
#include "frame/Text.h"
#include "platform/Platform.h"

#include <sstream>

bool runCommand(int& status, IActionContext& host)
{
    const std::wstring commandLine = readParameter(host, names::kCmdLine);
    host.Log(2, L"Checking if processor is available...");
    if (platform::runSystemCommand(nullptr) == 0) {
        host.Log(4, L"Cannot make system call.");
        return false;
    }
    host.Log(2, L"Ok");
    host.Log(2, L"Executing command: " + commandLine);
    status = platform::runSystemCommand(utf8FromWide(commandLine).c_str());
    return true;
}

void trimSpaces(std::wstring& text)
{
    const std::wstring::size_type first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        text.clear();
        return;
    }
    text.erase(text.find_last_not_of(L' ') + 1);
    text.erase(0, first);
}

void splitAndTrim(std::wstring& text, const std::wstring& separator, std::vector<std::wstring>& list)
{
    if (separator.empty())
        return;
    std::wstring::size_type start = 0;
    for (std::wstring::size_type pos = text.find(separator); pos != std::wstring::npos;
         pos = text.find(separator, start)) {
        std::wstring piece = text.substr(start, pos - start);
        trimSpaces(piece);
        list.push_back(std::move(piece));
        start = pos + separator.size();
    }
    text.erase(0, start);
    if (!text.empty()) {
        std::wstring piece;
        piece.swap(text);
        trimSpaces(piece);
        list.push_back(std::move(piece));
    }
}

std::optional<int> readInteger(const std::wstring& text)
{
    std::wstringstream stream(text, std::ios::in | std::ios::out);
    int value = 0;
    if (!(stream >> value))
        return std::nullopt;
    return value;
}
