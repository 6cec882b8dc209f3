// One run shown: for a reader (the log as it is logged, then the properties
// written, the feature states set and the result) or as one JSON document,
// on standard output or, for a child of test, in the file its parent names.
#pragma once

#include "scenario/Scenario.h"

#include <string>

namespace actionhost {

struct ShowOptions {
    std::string library;  // instead of the scenario's
    bool json = false;
    bool transcript = false;
    bool tree = false;       // draw the feature tree after the run
    bool noColour = false;
    std::string resultFile;  // where a child of test hands its result over
};

// Runs the scenario and shows it; the exit status of run and call.
int show(const Scenario& scenario, const ShowOptions& options);

} // namespace actionhost
