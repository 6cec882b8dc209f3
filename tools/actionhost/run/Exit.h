// The exit statuses of actionhost besides an action's own 0 and 1, and the
// usage error that ends a command with one of them.
#pragma once

#include <stdexcept>
#include <string>

namespace actionhost {

// A usage error or a scenario that cannot be used.
const int kExitUsage = 2;
// An exception left the action.
const int kExitException = 3;

// A usage error found after the command line was read: exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace actionhost
