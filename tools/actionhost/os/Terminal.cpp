// Whether to colour, and the escape sequences of each colour.
#include "os/Terminal.h"

#include <Poco/Environment.h>

namespace actionhost {

bool useColour(bool refused)
{
    if (refused || !Poco::Environment::get("NO_COLOR", "").empty())
        return false;
    return outputIsColourTerminal();
}

std::string coloured(bool colour, Colour which, const std::string& text)
{
    if (!colour)
        return text;
    const char* code = "";
    switch (which) {
    case Colour::Green: code = "32"; break;
    case Colour::Red: code = "31"; break;
    case Colour::Yellow: code = "33"; break;
    case Colour::Cyan: code = "36"; break;
    case Colour::Blue: code = "34"; break;
    case Colour::Magenta: code = "35"; break;
    case Colour::Dim: code = "2"; break;
    case Colour::Bold: code = "1"; break;
    }
    return std::string("\x1b[") + code + "m" + text + "\x1b[0m";
}

} // namespace actionhost
