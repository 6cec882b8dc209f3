// The command processor off Windows: /bin/sh through system(). The wait
// status is turned into the exit code the way a shell reports $?: the exit
// status of a command that exited, 128 + N for one killed by signal N.
#include "platform/Platform.h"

#include <sys/wait.h>

#include <cstdlib>

namespace platform {

int systemCommand(const char* command)
{
    const int status = std::system(command);
    if (command == nullptr || status == -1)
        return status;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return status;
}

void disableThreadLibraryCalls(void*) {}

bool usesExtendedLengthPaths()
{
    return false;
}

} // namespace platform
