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

struct StrictDocument {
    // The first error of the text; nothing when it is strict JSON.
    std::optional<JsonError> error;
    // The document, null after an error.
    Json root;
    // The offset of each JSON path: a member's key (its opening quote), an
    // element's value, the root's start.
    std::map<std::string, std::size_t> places;

    // "LINE:COLUMN" of a path in text, for an error found after reading;
    // "" when the document has no such path.
    std::string placeOf(const std::string& text, const std::string& path) const;
};

StrictDocument readStrictJson(const std::string& text);

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
