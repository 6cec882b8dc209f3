// Whole files: read in one piece, and the file in which a child of test
// hands its result to its parent.
#pragma once

#include <string>

namespace actionhost {

// The file's bytes as they are. Throws std::exception (Poco::Exception) when
// it cannot be opened or read.
std::string readFile(const std::string& file);

// Writes text as the whole file, in binary. The child of a test run hands its
// result over this way, never on its standard output, which belongs to the
// action and its commands. Throws std::runtime_error when it cannot be written.
void writeResult(const std::string& file, const std::string& text);

// The file's bytes, and the file removed; "" when there is none or it cannot
// be read (a child that ended before it wrote its result).
std::string readAndRemove(const std::string& file);

} // namespace actionhost
