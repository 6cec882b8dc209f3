// A run shown for a reader: the log as it is logged, then the properties
// written, the feature states set and the result; and texts on one line.
#pragma once

#include "run/Runner.h"

#include <ostream>
#include <string>

namespace actionhost {

// A text on one line, as the log, feature ids and property names are shown:
// quoted with escapes when it holds a line break or another control
// character, is empty, or begins or ends with a blank.
std::string oneLine(const std::string& text);

// Loads the library and runs the scenario as runScenario does, printing a
// "scenario:" line once the action is found, then each
// log line for a reader as it is logged (nothing of the log is kept), then
// the properties written, the feature states set and the result.
// keepCalls keeps the transcript in the record without showing it.
RunOutput printScenarioRun(std::ostream& out, const Scenario& scenario, const std::string& libraryOverride,
                           bool withCalls, bool keepCalls = false);

} // namespace actionhost
