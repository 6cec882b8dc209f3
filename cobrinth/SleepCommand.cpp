// The setup-core SleepCommand: waits the number of seconds given by
// "Seconds"; 0, text without digits and negative numbers do not wait.
#include "frame/Action.h"
#include "names/Names.h"
#include "frame/Numbers.h"
#include "frame/Sleep.h"
#include "frame/Text.h"

namespace {

int sleepCommand(IActionContext& host)
{
    const std::wstring seconds = readParameter(host, names::kSeconds);
    const int milliseconds = boundedMilliseconds(leadingInteger(utf8FromWide(seconds)));
    host.Log(2, L"Going to sleep for " + seconds + L" seconds.\n");
    sleepMilliseconds(milliseconds);
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(SleepCommand)
{
    return runAction(context, sleepCommand);
}
