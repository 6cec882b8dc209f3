// The wait of the two SleepCommand actions.
#pragma once

#include <string>

// Milliseconds for a number of seconds read from the "Seconds" parameter. The
// count is bounded: seconds whose milliseconds would not fit a signed 32-bit
// integer give the largest whole-second wait that does.
int boundedMilliseconds(int seconds);

// Blocks the calling thread.
void sleepMilliseconds(int milliseconds);
