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
    std::vector<std::string> exclude;  // leaving out those that match any of these
    std::string junit;    // where the JUnit report goes; "": none
    bool noTestsIsError = true;  // exit 5 when no scenario ran
    // Whose observed outcome becomes its expect block: none, every failing
    // scenario and those without a block, or only the latter.
    enum Update { NoUpdate, UpdateFailing, UpdateNew } update = NoUpdate;
};

struct ScenarioFile {
    std::string path;   // as found: the target, or below it
    std::string below;  // the path below the folder given ("sub/a.json"); a file given: its name
    bool named = false; // given on the command line: never filtered out
};

// The scenario files of the targets, in order: a file as it is given; a
// folder's *.json files and those of its subfolders, searched in sorted
// order (hidden folders and node_modules left out, a folder reached again
// through a link not searched twice). Each file once. Throws UsageError for
// a target that does not exist.
std::vector<ScenarioFile> scenarioFiles(const std::vector<std::string>& targets);

// Whether a path below a folder matches a glob of --filter and --exclude:
// "*" matches any run of characters but "/", "**" any run at all (and "**/"
// none), "?" one character but "/".
bool pathGlobMatches(const std::string& pattern, const std::string& path);

// The exit status of test when no scenario ran: none found, all filtered out
// or all skipped.
const int kExitNoTests = 5;

// Runs the suite and prints a line per scenario and the summary on standard
// output; the exit status of test: 0 when every scenario that ran passed, 1
// when one failed or the run was interrupted, kExitNoTests when none ran.
int runSuite(const SuiteOptions& options);

} // namespace actionhost
