// One run shown: for a reader (the log as it is logged, then the properties
// written, the feature states set and the result) or as one JSON document,
// on standard output or, for a child of test, in the file its parent names.
// The options that choose how are shared by the commands that show a run.
#pragma once

#include "Scenario.h"

#include <CLI/CLI.hpp>

#include <string>

namespace actionhost {

struct ShowOptions {
    std::string library;  // instead of the scenario's
    bool json = false;
    bool transcript = false;
    bool tree = false;       // draw the feature tree after the run
    bool noColour = false;
    std::string resultFile;  // where a child of test hands its result over
};

void addLibraryOption(CLI::App* command, std::string& library);
void addOutputOptions(CLI::App* command, ShowOptions& options);
void addResultFileOption(CLI::App* command, std::string& resultFile);
void addTreeOptions(CLI::App* command, ShowOptions& options);

// Runs the scenario and shows it; the exit status of run and call.
int show(const Scenario& scenario, const ShowOptions& options);

// The child of a test run hands its result over in a file the parent names,
// never on its standard output, which belongs to the action and its commands.
void writeResult(const std::string& file, const std::string& text);

} // namespace actionhost
