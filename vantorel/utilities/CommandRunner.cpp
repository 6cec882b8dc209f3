// RunCommandAndSetReturnCode and RunCommandAndSetProperty: run "CmdLine"
// through the command processor and write its exit status, or the value the
// status maps to, into a property.
#include "utilities/CommandRunner.h"

#include "frame/Action.h"
#include "frame/Names.h"
#include "frame/Text.h"
#include "platform/Platform.h"

#include <cstdio>
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

namespace {

int runCommandAndSetReturnCode(IActionContext& host)
{
    int status = 0;
    if (!runCommand(status, host))
        return kActionFailure;
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%d", status);
    const std::wstring statusText(wideBufferFromUtf8(digits).get());
    const std::wstring property = readParameter(host, names::kWriteProperty);
    host.Log(2, L"Command returned error code: " + statusText);
    host.SetProperty(property, statusText);
    return kActionSuccess;
}

int runCommandAndSetProperty(IActionContext& host)
{
    const std::wstring property = readParameter(host, names::kWriteProperty);
    const std::wstring defaultValue = readParameter(host, names::kDefault);
    host.Log(2, L"[RunCommandAndSetProperty] wProperty = " + property);
    host.Log(2, L"[RunCommandAndSetProperty] wDefault  = " + defaultValue);
    int status = 0;
    if (!runCommand(status, host)) {
        host.Log(2, L"[RunCommandAndSetProperty] runCommand() fails");
        host.SetProperty(property, defaultValue);
        return kActionFailure;
    }
    std::wstring returnCodes = readParameter(host, names::kReturnCodesSet);
    std::wstring values = readParameter(host, names::kValuesSet);
    host.Log(2, L"[RunCommandAndSetProperty] wReturnCodesSet  = " + returnCodes);
    host.Log(2, L"[RunCommandAndSetProperty] wValuesSet       = " + values);
    std::vector<std::wstring> codeList;
    std::vector<std::wstring> valueList;
    splitAndTrim(returnCodes, L";", codeList);
    splitAndTrim(values, L";", valueList);

    std::wstring result = defaultValue;
    for (std::size_t i = 0; i < codeList.size(); ++i) {
        host.Log(2, L"[RunCommandAndSetProperty] i = " + codeList[i]);
        const std::optional<int> code = readInteger(codeList[i]);
        if (code && *code == status) {
            // A value list shorter than the code list raises std::out_of_range.
            result = valueList.at(i);
            break;
        }
    }
    host.SetProperty(property, result);
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(RunCommandAndSetReturnCode)
{
    return runAction(context, runCommandAndSetReturnCode);
}

ACTION_ENTRY(RunCommandAndSetProperty)
{
    return runAction(context, runCommandAndSetProperty);
}
