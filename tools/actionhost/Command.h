// The commands of actionhost. Each adds itself to the command line with its
// own options, and when it is the one chosen, sets what runs it.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <stdexcept>
#include <string>

namespace actionhost {

const int kExitUsage = 2;
const int kExitException = 3;

// A usage error found after the command line was read: exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

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
