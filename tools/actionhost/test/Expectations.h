// An expect block compared with a run (as toJson gives it).
#pragma once

#include <Poco/JSON/Object.h>

#include <string>

namespace actionhost {

// The first difference between an expect block and a run (as toJson gives
// it), or the empty string when every expectation holds.
std::string firstDifference(const Poco::JSON::Object::Ptr& expect, const Poco::JSON::Object::Ptr& run);

// Every difference of the log, writes and calls lists, expected against
// actual, aligned so that an entry too many or too few is one line: lines
// "  - [i] entry" (expected, at its position) and "  + [j] entry" (actual).
// Empty when the lists agree.
std::string listDifferences(const Poco::JSON::Object::Ptr& expect, const Poco::JSON::Object::Ptr& run);

} // namespace actionhost
