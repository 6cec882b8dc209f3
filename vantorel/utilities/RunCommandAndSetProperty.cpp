// RunCommandAndSetProperty: runs "CmdLine" through the command processor and
// writes the value its exit status maps to ("ReturnCodesSet" to "ValuesSet",
// else "Default") into the property named by "WriteProperty".
#include "utilities/CommandRunner.h"

#include "frame/Action.h"
#include "names/Names.h"

namespace {

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

ACTION_ENTRY(RunCommandAndSetProperty)
{
    return runAction(context, runCommandAndSetProperty);
}
