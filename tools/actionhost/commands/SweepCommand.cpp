// actionhost sweep SCENARIO, the hidden child command of test --fault-sweep:
// sweeps one scenario and reports what went wrong; exit 0 when nothing did.
#include "commands/Command.h"
#include "os/Files.h"
#include "run/FaultSweep.h"
#include "commands/Options.h"

#include <iostream>
#include <memory>
#include <vector>

namespace actionhost {

void addSweepCommand(CLI::App& app, CommandBody& chosen)
{
    struct Options {
        std::vector<std::string> scenario;
        std::string library;
        std::string resultFile;
    };
    auto options = std::make_shared<Options>();
    CLI::App* sweep = app.add_subcommand("sweep", "");
    sweep->group("");
    sweep->add_option("SCENARIO", options->scenario)->required()->expected(1);
    addLibraryOption(sweep, options->library);
    addResultFileOption(sweep, options->resultFile);
    sweep->callback([options, &chosen] {
        chosen = [options] {
            const SweepResult sweep = sweepScenario(loadScenario(options->scenario.at(0), options->library), options->library);
            const std::string report = sweepReport(sweep);
            if (options->resultFile.empty())
                std::cout << report;
            else
                writeResult(options->resultFile, report);
            return sweep.problems.empty() ? 0 : 1;
        };
    });
}

} // namespace actionhost
