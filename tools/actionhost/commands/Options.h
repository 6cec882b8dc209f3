// The command-line options that several commands share, each added by one
// function so that its name and help are written once.
#pragma once

#include "show/Show.h"

#include <CLI/CLI.hpp>

#include <string>

namespace actionhost {

// --library: a library instead of the scenario's.
void addLibraryOption(CLI::App* command, std::string& library);
// --json and --transcript.
void addOutputOptions(CLI::App* command, ShowOptions& options);
// --tree (not with --json) and --no-color.
void addTreeOptions(CLI::App* command, ShowOptions& options);
// --no-color.
void addNoColourOption(CLI::App* command, bool& noColour);
// The hidden --result-file of a child of test.
void addResultFileOption(CLI::App* command, std::string& resultFile);

} // namespace actionhost
