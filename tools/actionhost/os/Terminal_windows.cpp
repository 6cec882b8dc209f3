// Whether standard output is a console that takes escape sequences, on Windows.
#include "os/Terminal.h"

#include <windows.h>

namespace actionhost {

bool outputIsColourTerminal()
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    // A pipe or a file has no console mode.
    if (output == INVALID_HANDLE_VALUE || !GetConsoleMode(output, &mode))
        return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

} // namespace actionhost
