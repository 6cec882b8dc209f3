// actionhost run SCENARIO: runs one scenario and shows what the action did.
#include "commands/Command.h"
#include "commands/Options.h"

#include <memory>
#include <vector>

namespace actionhost {

void addRunCommand(CLI::App& app, CommandBody& chosen)
{
    struct Options {
        std::vector<std::string> scenario;
        ShowOptions show;
    };
    auto options = std::make_shared<Options>();
    CLI::App* run = app.add_subcommand("run", "Run one scenario; print the log, the properties written, the "
                                              "feature states set and the result.");
    run->add_option("SCENARIO", options->scenario, "the scenario file")->required()->expected(1)->type_name("");
    addLibraryOption(run, options->show.library);
    addOutputOptions(run, options->show);
    addTreeOptions(run, options->show);
    addResultFileOption(run, options->show.resultFile);
    run->callback([options, &chosen] {
        chosen = [options] { return show(loadScenario(options->scenario.at(0), options->show.library), options->show); };
    });
}

} // namespace actionhost
