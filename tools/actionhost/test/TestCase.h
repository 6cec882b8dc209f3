// One scenario under actionhost test: how it is run, and its outcome.
#pragma once

#include "scenario/Scenario.h"
#include "run/Unread.h"

#include <string>
#include <vector>

namespace actionhost {

struct TestOptions {
    std::string self;     // this program, started again for each scenario
    std::string library;  // instead of the scenario's
    bool faultSweep = false;
    bool inProcess = false;
    bool strict = false;  // what a scenario gives that its action never uses fails it
    double timeout = 60;  // seconds, unless the scenario sets its own
};

struct TestCase {
    std::string file;
    std::string name;
    std::string folder;
    bool ran = false;
    bool passed = false;
    // Not run: it has no expect block to check (shown as SKIP, counted).
    bool skipped = false;
    // FAIL because the scenario could not be run to its end and judged: it
    // did not load, crashed, timed out, was interrupted while it ran, or an
    // exception its expect block did not ask for left the action.
    bool error = false;
    std::string difference;  // FAIL: what is wrong, on the FAIL line; SKIP: why
    std::string details;     // FAIL: each difference, a block of lines indented by two blanks
    std::string note;        // PASS: shown after the name
    std::string captured;    // FAIL: the tails of the child's output, as shown
    std::string out;         // the tail of the child's standard output, as it printed it
    std::string err;         // and of its standard error
    std::string run;         // the run as JSON, when it ran to its end
    std::vector<Unused> unread;  // what the scenario gave that the run never used, a line each
    bool hasExpect = false;
    bool updated = false;
    double seconds = 0;
};

// Runs one scenario in a child process, which hands its result over in a
// file (or, with inProcess, in this process), and compares the result with
// the expectations.
void testOne(const TestOptions& options, const Scenario& scenario, TestCase& test);

} // namespace actionhost
