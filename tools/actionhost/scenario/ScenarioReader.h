// Reading a scenario's typed values, with the file, the line and column and
// the JSON path of the place in every error.
#pragma once

#include "scenario/Json.h"
#include "scenario/StrictJson.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace actionhost {

// A member of an object, as ScenarioReader::members lists them.
struct JsonMember {
    const std::string* name;
    const Json* json;
    const std::string& key() const { return *name; }
    const Json& value() const { return *json; }
};

class ScenarioReader {
public:
    // text is the scenario's text and document what the strict reader made
    // of it; both must outlive the reader: errors are located in them.
    ScenarioReader(const std::string& file, const std::string& text, const StrictDocument& document)
        : file_(file), text_(text), document_(document)
    {
    }

    // Throws ScenarioError: "FILE:LINE:COLUMN: PATH: message".
    [[noreturn]] void fail(const std::string& path, const std::string& message) const;

    // Fails at the first key of the object that allowed does not hold.
    void onlyKeys(const Json& object, const std::string& path,
                  const std::set<std::string>& allowed) const;

    // The members of an object by name, the order in which they are checked
    // (and their errors met); fails when the value is no object.
    std::vector<JsonMember> members(const Json& value, const std::string& path) const;

    // Each returns the value as its kind, or fails naming the kind found.
    const Json& object(const Json& value, const std::string& path) const;
    const Json& array(const Json& value, const std::string& path) const;
    std::string text(const Json& value, const std::string& path) const;
    bool boolean(const Json& value, const std::string& path) const;

    // An integer as JSON Schema counts one: a number without a fraction,
    // however it is written (1, 1.0, 1e3), never true or false; and within
    // [min, max], else an error that names the range. min is never above 0
    // and max never below it.
    long long integer(const Json& value, const std::string& path, long long min, long long max) const;
    unsigned long long unsignedInteger(const Json& value, const std::string& path) const;
    int int32(const Json& value, const std::string& path) const;

    // "null", "an object", "an array", "a string", "a boolean", "a number".
    static std::string kindOf(const Json& value);

    // An object of texts, as wide texts by wide name.
    std::map<std::wstring, std::wstring> textMap(const Json& value, const std::string& path) const;

private:
    struct Integral {
        bool negative = false;
        unsigned long long magnitude = 0;
    };

    Integral integral(const Json& value, const std::string& path) const;
    [[noreturn]] void failRange(const std::string& path, const std::string& min, const std::string& max) const;

    std::string file_;
    const std::string& text_;
    const StrictDocument& document_;
};

} // namespace actionhost
