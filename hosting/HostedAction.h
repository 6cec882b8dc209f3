// How the simulated host calls an exported action.
#pragma once

#include "hosting/SimulatedHost.h"

#include <string>

namespace hosting {

// The action at entry, an exported function of a loaded library: called
// directly where the libraries speak GCC's ABI (everywhere but 32-bit
// Windows), through the Visual C++-ABI test host where they speak that
// compiler's.
HostedAction hostedAction(void* entry);

// Where actions are called through the Visual C++-ABI test host: its
// "runtime: ..." line, which names the C++ runtime that its throws and
// catches run on, as seen from inside this process. Empty elsewhere. The
// test host checks it when it is loaded: when ACTIONS_EXPECT_RUNTIME names
// a runtime the process lacks, this and every action call throw, the line
// their message.
std::string hostRuntime();

} // namespace hosting
