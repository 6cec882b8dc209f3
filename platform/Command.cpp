// The command processor behind runSystemCommand, replaceable by hosts and
// tests that must run without a shell; the platform's own is systemCommand.
#include "platform/Platform.h"

namespace platform {

int systemCommand(const char* command);

namespace {
SystemCommandFunction systemCommandOverride = nullptr;
}

void setSystemCommandFunction(SystemCommandFunction function)
{
    systemCommandOverride = function;
}

int runSystemCommand(const char* command)
{
    return systemCommandOverride != nullptr ? systemCommandOverride(command) : systemCommand(command);
}

} // namespace platform
