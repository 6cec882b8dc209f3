// actionhost: runs installer custom actions from scenario files on a
// simulated host, shows what they did and checks it against expectations.
// Here: the command table and the program's entry; each command lives in a
// file of its own, with its options.
#include "commands/Command.h"
#include "scenario/Scenario.h"

#include <Poco/Environment.h>
#include <Poco/Path.h>

#include <iostream>

namespace {

std::string selfPath(const char* argv0)
{
    Poco::Path path(argv0);
    if (path.depth() == 0 && !path.isAbsolute()) {
        // Called through PATH: look the program up the way the shell did.
        Poco::Path found;
        if (Poco::Path::find(Poco::Environment::get("PATH", ""), argv0, found))
            return found.toString();
    }
    return path.makeAbsolute().toString();
}

} // namespace

int main(int argc, char** argv)
{
    using namespace actionhost;
    // The command line, with CLI11: each command's options and its --help
    // come from the same definitions.
    CLI::App app{"actionhost: runs installer custom actions on a simulated host described by a scenario file,\n"
                 "shows what they did, and checks it against the scenario's expectations.",
                 "actionhost"};
    // "/..." is a path, on Windows too, never an option.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    app.set_version_flag("--version", "actionhost " ACTIONHOST_VERSION);
    app.footer("Run 'actionhost <command> --help' for one command.\n"
               "Exit status of run and call: the action's result (0 or 1), 3 when an exception left the\n"
               "action, 2 for a usage error or a bad scenario; of test: 0 when every scenario that ran passed,\n"
               "1 when one failed, 5 when none ran.");
    CommandBody command;
    addRunCommand(app, command);
    addTestCommand(app, command, selfPath(argv[0]));
    addCallCommand(app, command);
    addListCommand(app, command);
    addSchemaCommand(app, command);
    addNewCommand(app, command);
    addCheckCommand(app, command);
    addSweepCommand(app, command);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return app.exit(error);
        std::cerr << "actionhost: " << error.what() << "\n" << "Run 'actionhost --help' for the commands.\n";
        return kExitUsage;
    }
    try {
        return command();
    } catch (const UsageError& error) {
        std::cerr << "actionhost: " << error.what() << "\n" << "Run 'actionhost --help' for the commands.\n";
        return kExitUsage;
    } catch (const ScenarioError& error) {
        std::cerr << "actionhost: " << error.what() << "\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        std::cerr << "actionhost: " << error.what() << "\n";
        return kExitUsage;
    }
}
