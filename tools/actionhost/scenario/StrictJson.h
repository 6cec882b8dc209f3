// The strict JSON reader: reads JSON text once before POCO parses it, for
// what POCO's parser does not tell: the line and column of an error, keys
// given twice (POCO keeps the last), keys holding NUL (POCO cuts them
// there), and integers beyond 64 bits.
#pragma once

#include <optional>
#include <string>

namespace actionhost {

struct JsonError {
    std::string place;   // "LINE:COLUMN"
    std::string path;    // the JSON path of the place, "$.parameters.Seconds"
    std::string reason;  // "invalid JSON: ...", "duplicate key ...", "number out of range: ..."
};

// The first error of the text, or nothing when it is strict JSON.
std::optional<JsonError> checkStrictJson(const std::string& text);

// "LINE:COLUMN" of the value (or key) at a JSON path, for an error found
// after parsing; "" when the path is not found.
std::string locateJsonPath(const std::string& text, const std::string& path);

// Where a top-level member that holds an object stands in the text of an
// object, in byte offsets: its key's opening quote, its value's "{" and the
// byte after its "}"; and the root's closing "}".
struct MemberPlace {
    bool found = false;
    std::size_t keyStart = 0;
    std::size_t valueStart = 0;
    std::size_t valueEnd = 0;
    std::size_t rootClose = 0;
};

// Nothing when the text is no JSON object. A member whose value is not an
// object is not found.
std::optional<MemberPlace> locateObjectMember(const std::string& text, const std::string& key);

} // namespace actionhost
