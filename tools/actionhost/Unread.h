// The parameters a scenario gives that the action never asked for in a run:
// most often a misspelt name, which the action then reads as empty text.
#pragma once

#include "Scenario.h"

#include <string>
#include <vector>

namespace actionhost {

// One line per parameter of the scenario that the run's transcript never
// asks for ("GetParameter:NAME"), naming what the action did ask for:
//   parameter "MachineNam" was not read in this run; SetVexaName read: MachineName (not given), PropertyId
// A name the scenario gives neither as a parameter nor as a property is
// "(not given)". Names given only as properties are never named.
std::vector<std::string> unreadParameters(const Scenario& scenario, const std::vector<std::string>& calls);

// The same from a run's record: its parameters asked for when it kept them
// without a transcript, else its transcript.
std::vector<std::string> unreadParameters(const Scenario& scenario, const hosting::RunRecord& record);

} // namespace actionhost
