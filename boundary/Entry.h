// The one entry of every exported action in a DLL for Visual C++ hosts.
#pragma once

#include "boundary/Layout.h"
#include "host/ActionContext.h"

namespace boundary {

typedef int (*ActionBody)(ActionContextPtr context);

// Runs body for the host's context, given as the two words of the
// boost::shared_ptr the host passed by value (object, count block). The
// reference is released before this returns, as Visual C++'s callee-destroys
// rule wants, also when the action fails. An exception that leaves the action
// reaches the host as a Visual C++ exception: a host exception as itself, an
// InstallException as the exported class, any other as std::exception with
// the same what(). No exception of the DLL's own leaves this function.
// With productContext, the action's context is also a
// setupcore::IProductContext when the host's object has that base.
int enterAction(void* object, CountBlock* counts, ActionBody body, bool productContext);

} // namespace boundary

// The exported entry of an action: cdecl, the shared pointer's two words.
#define BOUNDARY_ACTION_ENTRY(Name, productContext)                                                        \
    static int Name##Action(ActionContextPtr context);                                                     \
    extern "C" int Name(void* object, boundary::CountBlock* counts)                                        \
    {                                                                                                      \
        return boundary::enterAction(object, counts, &Name##Action, productContext);                       \
    }                                                                                                      \
    static int Name##Action(ActionContextPtr context)
