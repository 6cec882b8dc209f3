// An action library whose one action takes its host process down, for
// checking that actionhost test survives it.
#include "frame/Action.h"

#include <cstdlib>

ACTION_ENTRY(Crash)
{
    context.reset();
    std::abort();
}
