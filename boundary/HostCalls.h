// The host's objects behind the project's host interfaces: each operation
// calls the host object's vtable slot, in the order the contract headers
// declare the operations, under the exception guard. Every node, list and
// text a host call hands out is wrapped once, for that call's result, and
// the host's reference is released when the wrapper goes.
#pragma once

#include "boundary/Layout.h"
#include "host/ActionContext.h"

namespace boundary {

// Adds one use to a host count block.
void addReference(CountBlock* counts);
// Drops one use as boost does: at zero, dispose (slot 1), then drop the weak
// count and at zero destroy (slot 2). A host exception there is swallowed:
// this runs in destructors. Null is ignored.
void releaseReference(CountBlock* counts);

// The action's context for the host's context object (its IActionContext
// part) and the reference the host passed. Takes over that reference, also
// when it throws. With product set, the context is also a
// setupcore::IProductContext whose operations go to that host subobject.
ActionContextPtr makeContext(void* object, CountBlock* counts, void* product);

} // namespace boundary
