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
