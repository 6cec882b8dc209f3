// Whether standard output is a colour terminal, on POSIX.
#include "os/Terminal.h"

#include <Poco/Environment.h>

#include <unistd.h>

namespace actionhost {

bool outputIsColourTerminal()
{
    return ::isatty(STDOUT_FILENO) == 1 && Poco::Environment::get("TERM", "") != "dumb";
}

} // namespace actionhost
