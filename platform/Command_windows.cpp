// The command processor on Windows: the C runtime's system(), which runs
// cmd.exe and reports its exit code.
#include "platform/Platform.h"

#include <cstdlib>

namespace platform {

int systemCommand(const char* command)
{
    return std::system(command);
}

} // namespace platform
