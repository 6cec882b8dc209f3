// The feature tree as a picture: each node as it was before the call, with
// its states as words, the requested state the action set, and whether the
// action reached it.
#pragma once

#include "hosting/SimulatedHost.h"

#include <ostream>

namespace actionhost {

// record must hold the run's transcript: a node is reached when a call
// names it ("ID.GetChildren", ...).
void printTree(std::ostream& out, const hosting::FeatureModel& root, const hosting::RunRecord& record, bool colour);

} // namespace actionhost
