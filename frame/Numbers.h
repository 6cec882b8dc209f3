// Number reading shared by the actions.
#pragma once

#include <string>

// Reads the number at the start of text the way the C runtime's atoi does
// (leading white space, an optional sign, decimal digits up to the first other
// character; 0 when there are none), but with a defined result for numbers
// beyond the int range: they saturate at its limits.
int leadingInteger(const std::string& text);
