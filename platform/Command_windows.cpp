#include "platform/Platform.h"

#include <cstdlib>

namespace platform {

namespace {
SystemCommandFunction systemCommandOverride = nullptr;
}

void setSystemCommandFunction(SystemCommandFunction function)
{
    systemCommandOverride = function;
}

int runSystemCommand(const char* command)
{
    if (systemCommandOverride != nullptr)
        return systemCommandOverride(command);
    return std::system(command);
}

} // namespace platform
