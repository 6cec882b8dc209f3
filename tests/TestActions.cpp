// An action library of the tests' own, built the way the product libraries
// are: one action takes its host process down (actionhost test must survive
// it), two throw exceptions out of the library for the host to catch by type.
#include "frame/Action.h"
#include "frame/InstallException.h"

#include <stdexcept>

ACTION_ENTRY(Crash)
{
    context.reset();
    // A trap ends the process the hard way on every platform (SIGILL off
    // Windows, an illegal-instruction exception on it).
    __builtin_trap();
}

ACTION_ENTRY(ThrowInstallException)
{
    context->Log(2, L"throwing InstallException(7)");
    throw InstallException(7);
}

ACTION_ENTRY(ThrowRuntimeError)
{
    context->Log(2, L"throwing std::runtime_error");
    throw std::runtime_error("thrown in the library");
}
