// actionhost schema: prints the JSON Schema of scenario files, for editors.
#include "commands/Command.h"
#include "scenario/Schema.h"

#include <iostream>

namespace actionhost {

void addSchemaCommand(CLI::App& app, CommandBody& chosen)
{
    CLI::App* command = app.add_subcommand(
        "schema", "Print the JSON Schema of scenario files, for editors that complete and check them.");
    command->callback([&chosen] {
        chosen = [] {
            std::cout << scenarioSchema();
            return 0;
        };
    });
}

} // namespace actionhost
