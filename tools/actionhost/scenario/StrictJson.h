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

} // namespace actionhost
