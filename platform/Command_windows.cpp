// The command processor on Windows: the C runtime's _wsystem, which runs
// cmd.exe and reports its exit code. The command line arrives as UTF-8 and
// is handed over as wide text: system() would read it in the ANSI code page
// and run a different command for any non-ASCII character.
#include "platform/Platform.h"

#include <cstdlib>
#include <vector>

namespace platform {

int systemCommand(const char* command)
{
    if (command == nullptr)
        return ::_wsystem(nullptr);
    const int units = utf8ToWide(command, nullptr, 0);
    if (units <= 0)
        return -1;
    std::vector<wchar_t> wide(static_cast<std::size_t>(units));
    if (utf8ToWide(command, wide.data(), units) != units)
        return -1;
    return ::_wsystem(wide.data());
}

} // namespace platform
