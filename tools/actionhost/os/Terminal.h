// Colour on a terminal: levels and marks of the feature tree, PASS and
// FAIL. Never in a pipe or a file, nor when NO_COLOR is set or --no-color
// given.
#pragma once

#include <string>

namespace actionhost {

// Whether standard output is a terminal that shows colour (on Windows, a
// console that takes escape sequences, which this turns on).
bool outputIsColourTerminal();

// Whether to colour standard output: a colour terminal, NO_COLOR unset or
// empty, and not refused on the command line.
bool useColour(bool refused);

enum class Colour { Green, Red, Yellow, Cyan, Blue, Magenta, Dim, Bold };

// The text in the colour when colouring, else as it is.
std::string coloured(bool colour, Colour which, const std::string& text);

} // namespace actionhost
