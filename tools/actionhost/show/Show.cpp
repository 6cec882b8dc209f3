// Showing a run: to a reader or as JSON, and what the scenario gave that
// the run never used, on standard error.
#include "show/Show.h"

#include "os/Files.h"
#include "os/Terminal.h"
#include "run/Exit.h"
#include "run/Unread.h"
#include "show/RunDisplay.h"
#include "scenario/Json.h"
#include "show/Tree.h"

#include <iostream>
#include <sstream>

namespace actionhost {

namespace {

int exitStatusOf(const RunOutput& output)
{
    return output.record.exception ? kExitException : output.record.result;
}

// On standard error, so that the run's own output stays as it was.
void reportUnused(const Scenario& scenario, const RunOutput& output)
{
    for (const Unused& unused : unreadParameters(scenario, output.record))
        std::cerr << unused.line << "\n";
    for (const Unused& unused : unfiredFaultLines(scenario, output.record.calls))
        std::cerr << unused.line << "\n";
}

} // namespace

int show(const Scenario& scenario, const ShowOptions& options)
{
    if (options.json) {
        const RunOutput output = runScenario(scenario, options.library);
        const std::string json = jsonDocument(toJson(output, options.transcript), 2) + "\n";
        if (!options.resultFile.empty()) {
            // A child of test: its parent reports what was not read.
            writeResult(options.resultFile, json);
            return exitStatusOf(output);
        }
        std::cout << json << std::flush;
        reportUnused(scenario, output);
        return exitStatusOf(output);
    }
    const RunOutput output =
        printScenarioRun(std::cout, scenario, options.library, options.transcript, options.tree);
    if (options.tree)
        printTree(std::cout, scenario.model.root, output.record, useColour(options.noColour));
    std::cout.flush();
    reportUnused(scenario, output);
    return exitStatusOf(output);
}

} // namespace actionhost
