// An expect block compared with a run (as toJson gives it): every key that
// differs, each with what differs in it.
#pragma once

#include "scenario/Json.h"

#include <string>
#include <vector>

namespace actionhost {

struct Differences {
    // The keys of the expect block whose expectation does not hold, in the
    // order result, log, writes, calls, properties, featureStates.
    std::vector<std::string> keys;
    // A block per key, each line indented by two blanks: the result expected
    // and got; each list aligned (see listDiff); each property and feature
    // state that differs, on a line of its own.
    std::string details;

    bool empty() const { return keys.empty(); }
    // "result, log, properties differ"; "log differs".
    std::string summary() const;
};

Differences differences(const Json& expect, const Json& run);

// Every difference of two lists, expected against actual, aligned so that an
// entry too many or too few is one line: a heading "  NAME (- expected, +
// actual, at their positions):", then lines "  - [i] entry" (expected, at
// its position) and "  + [j] entry" (actual), at most 40. Empty when the
// lists agree.
std::string listDiff(const std::string& name, const Json& expected, const Json& actual);

} // namespace actionhost
