// What a scenario gives that a run never used: a parameter the action did
// not ask for (most often a misspelt name, which the action then reads as
// empty text) and a fault that never fired (which leaves the run as if the
// scenario had none).
#pragma once

#include "scenario/Scenario.h"

#include <string>
#include <vector>

namespace actionhost {

struct Unused {
    std::string line;
    // test --strict fails the scenario for it: a name its action never reads
    // on any path, a fault that never fired, or, for a library without a
    // catalogue entry, any parameter not read.
    bool failsStrict = false;
};

// One line per parameter of the scenario that the run's transcript never
// asks for ("GetParameter:NAME"). A name the action reads on some other path
// is information:
//   parameter "FeatureID" was not read in this run; ChangeFeatureState read: State
// (a name asked for that the scenario gives neither as a parameter nor as a
// property is marked "(not given)"). A name the action's catalogue entry
// does not have fails --strict:
//   SetVexaName has no parameter "MachineNam"; its parameters: MachineName, PropertyId
// Names given only as properties are never named.
std::vector<Unused> unreadParameters(const Scenario& scenario, const std::vector<std::string>& calls);

// The same from a run's record: its parameters asked for when it kept them
// without a transcript, else its transcript.
std::vector<Unused> unreadParameters(const Scenario& scenario, const hosting::RunRecord& record);

// One line per entry of the scenario's "faults" that fired at no call of the
// transcript, with the calls made whose names are nearest to it:
//   fault "GetParameter:MachineNam" never fired in this run; nearest calls made: GetParameter:MachineName, ...
std::vector<Unused> unfiredFaultLines(const Scenario& scenario, const std::vector<std::string>& calls);

} // namespace actionhost
