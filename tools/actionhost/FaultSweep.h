// The fault sweep: a scenario is run once for its transcript, then once per
// transcript position with the host throwing at exactly that call, and each
// run is checked against how the action must treat a failing host.
#pragma once

#include "Scenario.h"

#include <string>
#include <vector>

namespace actionhost {

struct SweepResult {
    std::size_t positions = 0;
    std::vector<std::string> problems;  // empty when every run behaved
};

// Runs the sweep in this process. Throws ScenarioError as runScenario does.
SweepResult sweepScenario(const Scenario& scenario, const std::string& libraryOverride);

} // namespace actionhost
