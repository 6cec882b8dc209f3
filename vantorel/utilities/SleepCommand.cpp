// SleepCommand: waits the number of seconds given by "Seconds", announcing
// the wait and logging around it.
#include "frame/Action.h"
#include "names/Names.h"
#include "frame/Numbers.h"
#include "frame/Sleep.h"
#include "frame/Text.h"

namespace {

int sleepCommand(IActionContext& host)
{
    const std::wstring seconds = readParameter(host, names::kSeconds);
    int milliseconds = boundedMilliseconds(leadingInteger(utf8FromWide(seconds)));
    // A negative count has no meaning as a wait; it is treated like 0.
    if (milliseconds <= 0) {
        host.Log(2, L"Invalid argument so let's sleep for 5 seconds.");
        milliseconds = 5000;
    } else {
        host.Log(2, L"Going to sleep for " + seconds + L" seconds.");
    }
    host.Log(2, L"SLEEP");
    sleepMilliseconds(milliseconds);
    host.Log(2, L"WAKE UP");
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(SleepCommand)
{
    return runAction(context, sleepCommand);
}
