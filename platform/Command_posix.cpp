// The command processor off Windows: /bin/sh through system(). The wait
// status is turned into the exit code the way a shell reports $?: the exit
// status of a command that exited, 128 + N for one killed by signal N.
// VANTOREL_COMMAND_PROCESSOR=none stands for a machine without one: asked
// whether there is one (a null command), the stand-in answers 0.
#include "platform/Platform.h"

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>

namespace platform {

int systemCommand(const char* command)
{
    const char* processor = std::getenv("VANTOREL_COMMAND_PROCESSOR");
    if (command == nullptr && processor != nullptr && std::strcmp(processor, "none") == 0)
        return 0;
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
