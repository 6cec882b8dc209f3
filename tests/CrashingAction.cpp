// An action library whose one action takes its host process down, for
// checking that actionhost test survives it.
#include "frame/Action.h"

ACTION_ENTRY(Crash)
{
    context.reset();
    // A trap ends the process the hard way on every platform (SIGILL off
    // Windows, an illegal-instruction exception on it).
    __builtin_trap();
}
