// An action library of the tests' own, built the way the product libraries
// are: one action takes its host process down (actionhost test must survive
// it), two throw exceptions out of the library for the host to catch by type,
// one tells whether the stack it runs on is aligned as its code expects.
#include "frame/Action.h"
#include "host/InstallException.h"

#include <cstdint>
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

// Result 0 when a local that wants 16-byte alignment got it, 1 otherwise: a
// Visual C++ caller aligns the stack to 4 bytes only, so this holds only for
// code compiled for such callers.
ACTION_ENTRY(StackAlignment)
{
    context.reset();
    alignas(16) volatile char probe[16] = {};
    std::uintptr_t address = reinterpret_cast<std::uintptr_t>(&probe[0]);
    // The compiler may not assume the alignment it was asked for.
    __asm__("" : "+r"(address));
    return (address & 15) == 0 ? 0 : 1;
}
