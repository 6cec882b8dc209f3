// The fault sweep: a scenario is run once for its transcript, then once per
// transcript position with the host throwing at exactly that call, and each
// run is checked against how the action must treat a failing host.
#pragma once

#include "scenario/Scenario.h"
#include "run/Unread.h"

#include <string>
#include <vector>

namespace actionhost {

struct SweepResult {
    std::size_t positions = 0;
    std::vector<std::string> problems;  // empty when every run behaved
    std::vector<Unused> unread;         // of the first run, the one without a fault
};

// What is wrong with a run whose host threw at position, against how the
// action must treat a failing host: a handler catches faults inside its
// region (crash line, result 1), every other fault reaches the host, and
// nothing is written or set after the failing call. Empty when it behaved.
// baseline is the run of the same case without a fault.
std::vector<std::string> faultProblems(const std::string& library, const std::string& action,
                                       const hosting::RunRecord& baseline, std::size_t position,
                                       const hosting::RunRecord& record);

// Runs the sweep in this process. Throws ScenarioError as runScenario does.
SweepResult sweepScenario(const Scenario& scenario, const std::string& libraryOverride);

// A sweep as a child of test reports it: the count of positions, then each
// problem, a line each, then each parameter not read, on a line that begins
// with kUnreadMark, or kStrictUnreadMark when it fails --strict.
std::string sweepReport(const SweepResult& sweep);
extern const char kUnreadMark[];
extern const char kStrictUnreadMark[];

} // namespace actionhost
