// actionhost test --update: the observed outcome of a run written into the
// scenario file's "expect" block, and every other byte of the file as it
// was. A block keeps the keys its author chose (and gains "result"), its
// "properties" and "featureStates" the names they list; where there is no
// block, one with the result, the log, the writes, the final values of the
// properties written and the feature states set is added. The block is laid
// out in the file's own indentation and line ending, one log line, write or
// call per line.
#pragma once

#include <string>

namespace actionhost {

// The scenario's text with its expect block made from runJson, the run as
// toJson gives it. Throws std::exception when the text cannot be parsed.
std::string updatedScenarioText(const std::string& text, const std::string& runJson);

// Rewrites the file so, through replaceFile. Throws std::exception when the
// file cannot be read, parsed or written.
void writeExpectation(const std::string& file, const std::string& runJson);

} // namespace actionhost
