// actionhost test --update: the observed outcome of a run written into the
// scenario file's "expect" block. The rest of the file keeps its keys, their
// order and its indentation; the block holds the result, the log, the writes,
// the final values of the properties written and the feature states set,
// plus the transcript when the old block asked for it.
#pragma once

#include <string>

namespace actionhost {

// runJson is the run as toJson gives it. Throws std::exception when the file
// cannot be read, parsed or written.
void writeExpectation(const std::string& file, const std::string& runJson);

} // namespace actionhost
