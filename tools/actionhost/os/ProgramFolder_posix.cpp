// The program's folder on POSIX, from /proc/self/exe.
#include "os/ProgramFolder.h"

#include <Poco/Path.h>

#include <unistd.h>

namespace actionhost {

std::string programFolder()
{
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0)
        return Poco::Path::current();
    return Poco::Path(std::string(buffer, static_cast<std::size_t>(length))).parent().toString();
}

} // namespace actionhost
