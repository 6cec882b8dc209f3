// actionhost check FILE...: loads scenarios without running them, for an
// editor's save hook or a pre-commit check: a line per file, the error of
// each one that cannot be used. A library given by path is opened and its
// action looked up, since no catalogue knows it.
#include "commands/Command.h"
#include "test/TestSuite.h"
#include "run/Runner.h"
#include "scenario/Scenario.h"

#include <iostream>
#include <memory>
#include <vector>

namespace actionhost {

void addCheckCommand(CLI::App& app, CommandBody& chosen)
{
    auto files = std::make_shared<std::vector<std::string> >();
    CLI::App* command = app.add_subcommand(
        "check", "Load scenario files without running them: \"ok FILE\" for each one that can be used, the "
                 "error (file, line, column, JSON path) for each one that cannot. Exit status 0 when all can, "
                 "2 otherwise.");
    command->add_option("SCENARIOS", *files, "scenario files and folders, searched as test searches them")
        ->required()
        ->type_name("");
    command->callback([files, &chosen] {
        chosen = [files] {
            int status = 0;
            for (const ScenarioFile& found : scenarioFiles(*files)) {
                const std::string& file = found.path;
                try {
                    const Scenario scenario = loadScenario(file);
                    if (!scenario.catalogued) {
                        hosting::HostedAction entry;
                        openLibrary(scenario, "", entry);
                    }
                    std::cout << "ok " << file << "\n";
                } catch (const ScenarioError& error) {
                    std::cout << error.what() << "\n";
                    status = kExitUsage;
                }
            }
            return status;
        };
    });
}

} // namespace actionhost
