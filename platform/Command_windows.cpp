#include "platform/Platform.h"

#include <cstdlib>

namespace platform {

int runSystemCommand(const char* command)
{
    return std::system(command);
}

} // namespace platform
