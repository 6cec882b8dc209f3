// Whole files: read in one piece, and the file in which a child of test
// hands its result to its parent.
#pragma once

#include <functional>
#include <string>

namespace actionhost {

// The file's bytes as they are. Throws std::exception (Poco::Exception) when
// it cannot be opened or read.
std::string readFile(const std::string& file);

// Writes text as the whole file, in binary, through a temporary file in the
// same folder that then takes the file's place: a reader, or a run that
// ends in between, finds the old file whole or the new one, never a part.
// beforeRename runs between the two (a test's way to end there). Throws
// std::runtime_error when it cannot be written; the temporary file is then
// removed and the file left as it was.
void replaceFile(const std::string& file, const std::string& text,
                 const std::function<void()>& beforeRename = std::function<void()>());

// Writes text as the whole file, as replaceFile does. The child of a test run hands its
// result over this way, never on its standard output, which belongs to the
// action and its commands. Throws std::runtime_error when it cannot be written.
void writeResult(const std::string& file, const std::string& text);

// The file's bytes, and the file removed; "" when there is none or it cannot
// be read (a child that ended before it wrote its result).
std::string readAndRemove(const std::string& file);

} // namespace actionhost
