// The frame every exported action shares: the entry declaration and the
// catch-all that turns any exception into a crash line and result 1.
#pragma once

#include "host/ActionContext.h"

#include <string>

#if defined(_WIN32)
// Exports come from the library's .def file.
#define ACTION_EXPORT
#else
#define ACTION_EXPORT __attribute__((visibility("default")))
#endif

// Declares an exported action: undecorated name, the context by value, int
// result. The 32-bit Windows DLLs are called by hosts built with Visual C++:
// there the entry takes the shared pointer as that compiler passes it and
// enters through the boundary layer, which also turns host calls and
// exceptions into that compiler's.
#if defined(_WIN32) && defined(__i386__)
#include "boundary/Entry.h"
#ifndef ACTIONS_PRODUCT_CONTEXT
#define ACTIONS_PRODUCT_CONTEXT false
#endif
#define ACTION_ENTRY(Name) BOUNDARY_ACTION_ENTRY(Name, ACTIONS_PRODUCT_CONTEXT)
#else
#define ACTION_ENTRY(Name) extern "C" ACTION_EXPORT int Name(ActionContextPtr context)
#endif

const int kActionSuccess = 0;
const int kActionFailure = 1;

// Runs work() under a handler of every exception. When one is caught, the
// objects of the work are already destroyed; the crash line is logged at
// crashLevel and the result is kActionFailure. The crash line's own Log call
// is outside the handler: a host that throws there throws to its caller.
template <typename Work>
int runWithCatchAll(IActionContext& context, int crashLevel, const std::wstring& crashLine, Work work)
{
    try {
        return work();
    } catch (...) {
    }
    context.Log(crashLevel, crashLine);
    return kActionFailure;
}

// The text of a parameter, copied; the host's shared pointer is dropped at once.
inline std::wstring readParameter(IActionContext& context, const std::wstring& name)
{
    return *context.GetParameter(name);
}

// Calls body with the host's context and releases the action's reference to
// it before the action returns, as the host expects.
template <typename Body>
int runAction(ActionContextPtr& context, Body body)
{
    const int result = body(*context);
    context.reset();
    return result;
}
