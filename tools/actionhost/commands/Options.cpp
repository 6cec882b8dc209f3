// The options several commands share.
#include "commands/Options.h"

namespace actionhost {

void addLibraryOption(CLI::App* command, std::string& library)
{
    command->add_option("--library", library, "load this library instead of the one the scenario names");
}

void addOutputOptions(CLI::App* command, ShowOptions& options)
{
    command->add_flag("--json", options.json, "print the run as one JSON document");
    command->add_flag("--transcript", options.transcript, "also print every host call in order");
}

void addTreeOptions(CLI::App* command, ShowOptions& options)
{
    CLI::Option* tree = command->add_flag(
        "--tree", options.tree,
        "draw the feature tree as it was before the call: states as words, the requested states the action set, "
        "and the nodes it never reached");
    tree->excludes(command->get_option("--json"));
    addNoColourOption(command, options.noColour);
}

void addNoColourOption(CLI::App* command, bool& noColour)
{
    command->add_flag("--no-color", noColour, "no colour, also on a terminal (as with NO_COLOR set)");
}

void addResultFileOption(CLI::App* command, std::string& resultFile)
{
    command->add_option("--result-file", resultFile)->group("");
}

} // namespace actionhost
