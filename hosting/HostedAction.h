// How the simulated host calls an exported action.
#pragma once

#include "hosting/SimulatedHost.h"

namespace hosting {

// The action at entry, an exported function of a loaded library: called
// directly where the libraries speak GCC's ABI (everywhere but 32-bit
// Windows), through the Visual C++-ABI test host where they speak that
// compiler's.
HostedAction hostedAction(void* entry);

} // namespace hosting

namespace hosting {

// 32-bit Windows only: the Visual C++-ABI test host's objects alive now
// (contexts, feature nodes), and the blocks in use in its runtime's heap
// (ucrtbase.dll), where the texts it hands out live.
long bridgeLiveObjects();
long bridgeLiveAllocations();

} // namespace hosting
