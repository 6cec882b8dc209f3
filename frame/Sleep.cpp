// The wait both SleepCommand actions make.
#include "frame/Sleep.h"

#include <Poco/Thread.h>

#include <climits>

int boundedMilliseconds(int seconds)
{
    const long long milliseconds = static_cast<long long>(seconds) * 1000;
    if (milliseconds > INT_MAX)
        return INT_MAX / 1000 * 1000;
    if (milliseconds < INT_MIN)
        return INT_MIN / 1000 * 1000;
    return static_cast<int>(milliseconds);
}

void sleepMilliseconds(int milliseconds)
{
    if (milliseconds > 0)
        Poco::Thread::sleep(milliseconds);
}
