// The strict JSON reader: reads a scenario's text once, into the document
// and the place of every key and value, for what a plain parser does not
// tell: the line and column of an error, keys given twice (a parser keeps
// the last), keys holding NUL, and integers beyond 64 bits.
#pragma once

#include "scenario/Json.h"

#include <map>
#include <optional>
#include <string>

namespace actionhost {

struct JsonError {
    std::string place;   // "LINE:COLUMN"
    std::string path;    // the JSON path of the place, "$.parameters.Seconds"
    std::string reason;  // "invalid JSON: ...", "duplicate key ...", "number out of range: ..."
};

// A container's place, in byte offsets: its opening brace or bracket, and
// the byte after its closing one.
struct DocumentSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

struct StrictDocument {
    // The first error of the text; nothing when it is strict JSON.
    std::optional<JsonError> error;
    // The document, null after an error.
    Json root;
    // The offset of each JSON path: a member's key (its opening quote), an
    // element's value, the root's start.
    std::map<std::string, std::size_t> places;
    // Where each object and array stands.
    std::map<std::string, DocumentSpan> spans;

    // "LINE:COLUMN" of a path in text, for an error found after reading;
    // "" when the document has no such path.
    std::string placeOf(const std::string& text, const std::string& path) const;
};

StrictDocument readStrictJson(const std::string& text);

} // namespace actionhost
