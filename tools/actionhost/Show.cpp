#include "Show.h"

#include "Command.h"
#include "Runner.h"
#include "Terminal.h"
#include "Tree.h"
#include "Unread.h"

#include <Poco/FileStream.h>
#include <Poco/JSON/Stringifier.h>

#include <iostream>
#include <sstream>
#include <stdexcept>

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
    command->add_flag("--no-color", options.noColour, "no colour, also on a terminal (as with NO_COLOR set)");
}

void addResultFileOption(CLI::App* command, std::string& resultFile)
{
    command->add_option("--result-file", resultFile)->group("");
}

int show(const Scenario& scenario, const ShowOptions& options)
{
    if (options.json) {
        const RunOutput output = runScenario(scenario, options.library);
        std::ostringstream json;
        Poco::JSON::Stringifier::stringify(toJson(output, options.transcript), json, 2);
        json << "\n";
        if (!options.resultFile.empty()) {
            // A child of test: its parent reports what was not read.
            writeResult(options.resultFile, json.str());
            return exitStatusOf(output);
        }
        std::cout << json.str() << std::flush;
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

void writeResult(const std::string& file, const std::string& text)
{
    Poco::FileOutputStream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out.good())
        throw std::runtime_error("cannot write the result to " + file);
}

} // namespace actionhost
