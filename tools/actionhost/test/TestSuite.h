// A whole test run: the scenario files found in the targets and filtered,
// each loaded, run by workers and reported in order, failing ones updated
// when asked, the JUnit report and the summary.
#pragma once

#include "test/TestCase.h"

#include <string>
#include <vector>

namespace actionhost {

struct SuiteOptions {
    TestOptions cases;                 // how each scenario is run
    std::vector<std::string> targets;  // scenario files and folders
    unsigned jobs = 0;                 // scenarios at once; 0: one per core
    bool noColour = false;
    std::string filter;   // only the file names that match this glob
    std::string exclude;  // leaving out those that match this one
    std::string junit;    // where the JUnit report goes; "": none
    // Whose observed outcome becomes its expect block: none, every failing
    // scenario and those without a block, or only the latter.
    enum Update { NoUpdate, UpdateFailing, UpdateNew } update = NoUpdate;
};

// The scenario files of the targets, in order: a file as it is given, a
// folder's *.json files (not its subfolders) sorted by name. Throws
// UsageError for a target that does not exist.
std::vector<std::string> scenarioFiles(const std::vector<std::string>& targets);

// Runs the suite and prints a line per scenario and the summary on standard
// output; the exit status of test: 0 when every scenario passed.
int runSuite(const SuiteOptions& options);

} // namespace actionhost
