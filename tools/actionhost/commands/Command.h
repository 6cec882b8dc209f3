// The commands of actionhost. Each adds itself to the command line with its
// own options, and when it is the one chosen, sets what runs it.
#pragma once

#include "run/Exit.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

namespace actionhost {

// What runs the chosen command, set by that command's callback.
typedef std::function<int()> CommandBody;

void addRunCommand(CLI::App& app, CommandBody& chosen);
void addTestCommand(CLI::App& app, CommandBody& chosen, const std::string& self);
void addCallCommand(CLI::App& app, CommandBody& chosen);
void addListCommand(CLI::App& app, CommandBody& chosen);
void addSchemaCommand(CLI::App& app, CommandBody& chosen);
void addNewCommand(CLI::App& app, CommandBody& chosen);
void addCheckCommand(CLI::App& app, CommandBody& chosen);
// The hidden child command of test --fault-sweep.
void addSweepCommand(CLI::App& app, CommandBody& chosen);

} // namespace actionhost
