// RunCommandAndSetReturnCode: runs "CmdLine" through the command processor
// and writes its exit status into the property named by "WriteProperty".
#include "utilities/CommandRunner.h"

#include "frame/Action.h"
#include "names/Names.h"
#include "frame/Text.h"

#include <cstdio>

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

} // namespace

ACTION_ENTRY(RunCommandAndSetReturnCode)
{
    return runAction(context, runCommandAndSetReturnCode);
}
