// The command runner's shared step and its list and number helpers.
#pragma once

#include "host/ActionContext.h"

#include <optional>
#include <string>
#include <vector>

// Reads "CmdLine", checks that a command processor exists and runs the
// command synchronously. True with status set when it ran; false (status
// untouched) when no command processor is available.
bool runCommand(int& status, IActionContext& host);

// Appends the separator-delimited entries of text, each trimmed of blanks,
// to list. Empty entries are kept, except that an empty remainder after the
// last separator adds nothing. Consumes text: it is left holding the part not
// yet parsed.
void splitAndTrim(std::wstring& text, const std::wstring& separator, std::vector<std::wstring>& list);

// Removes leading and trailing U+0020 in place; other white space stays.
void trimSpaces(std::wstring& text);

// The integer at the start of text (white space skipped, optional sign,
// decimal digits). Empty when text does not begin with one or the number
// lies outside the signed 32-bit range: such an entry matches no status.
std::optional<int> readInteger(const std::wstring& text);
