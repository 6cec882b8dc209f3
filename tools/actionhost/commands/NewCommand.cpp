// actionhost new [LIBRARY] ACTION: prints a scenario to start from.
#include "catalogue/Catalogue.h"
#include "commands/Command.h"
#include "scenario/NewScenario.h"

#include <iostream>
#include <memory>
#include <string>

namespace actionhost {

namespace {

struct Words {
    std::string first;
    std::string second;
};

int printNew(const Words& words)
{
    // A lone word is the action, of vantorel.
    if (words.first.empty())
        throw UsageError("new takes [LIBRARY] ACTION: an ACTION is required");
    const std::string library = words.second.empty() ? "vantorel" : words.first;
    const std::string& action = words.second.empty() ? words.first : words.second;
    if (!isKnownLibrary(library))
        throw UsageError("new knows the actions of vantorel and cobrinth, not of " + library);
    const KnownAction* known = findKnownAction(library, action);
    if (known == nullptr)
        throw UsageError(library + " has no action " + action + "; its actions: " + actionNames(library));
    std::cout << newScenario(*known, installedSchemaPath());
    return 0;
}

} // namespace

void addNewCommand(CLI::App& app, CommandBody& chosen)
{
    auto words = std::make_shared<Words>();
    CLI::App* command = app.add_subcommand(
        "new", "Print a scenario to start from, which runs the action's success path as it is: every parameter "
        "the action reads with a value, and the world it needs.");
    // Both optional, so that a lone word can be the action.
    command->add_option("LIBRARY", words->first, "vantorel (the default, when only the ACTION is given) or cobrinth")
        ->type_name("");
    command->add_option("ACTION", words->second, "the action (required)")->type_name("");
    command->callback([words, &chosen] { chosen = [words] { return printNew(*words); }; });
}

} // namespace actionhost
