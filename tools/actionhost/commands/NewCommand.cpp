// actionhost new [LIBRARY] ACTION: prints a scenario to start from.
#include "catalogue/Catalogue.h"
#include "commands/Command.h"
#include "scenario/NewScenario.h"

#include <iostream>
#include <memory>
#include <vector>

namespace actionhost {

namespace {

int printNew(const std::vector<std::string>& words)
{
    const std::string library = words.size() == 2 ? words[0] : "vantorel";
    const std::string& action = words.back();
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
    auto words = std::make_shared<std::vector<std::string> >();
    CLI::App* command = app.add_subcommand(
        "new", "Print a scenario to start from, which runs the action's success path as it is: every parameter "
        "the action reads with a value, and the world it needs.");
    command->add_option("library_action", *words, "[LIBRARY] ACTION; LIBRARY vantorel (default) or cobrinth")
        ->required()
        ->expected(1, 2);
    command->callback([words, &chosen] { chosen = [words] { return printNew(*words); }; });
}

} // namespace actionhost
