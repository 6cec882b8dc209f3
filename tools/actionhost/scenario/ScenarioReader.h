// Reading a scenario's typed values, with the file, the line and column and
// the JSON path of the place in every error.
#pragma once

#include <Poco/Dynamic/Var.h>
#include <Poco/JSON/Array.h>
#include <Poco/JSON/Object.h>

#include <map>
#include <set>
#include <string>

namespace actionhost {

class ScenarioReader {
public:
    // text is the scenario's text, which must outlive the reader: errors are
    // located in it.
    ScenarioReader(const std::string& file, const std::string& text) : file_(file), text_(text) {}

    // Throws ScenarioError: "FILE:LINE:COLUMN: PATH: message".
    [[noreturn]] void fail(const std::string& path, const std::string& message) const;

    // Fails at the first key of the object that allowed does not hold.
    void onlyKeys(const Poco::JSON::Object::Ptr& object, const std::string& path,
                  const std::set<std::string>& allowed) const;

    // Each returns the value as its kind, or fails naming the kind found.
    Poco::JSON::Object::Ptr object(const Poco::Dynamic::Var& value, const std::string& path) const;
    Poco::JSON::Array::Ptr array(const Poco::Dynamic::Var& value, const std::string& path) const;
    std::string text(const Poco::Dynamic::Var& value, const std::string& path) const;
    bool boolean(const Poco::Dynamic::Var& value, const std::string& path) const;

    // An integer as JSON Schema counts one: a number without a fraction,
    // however it is written (1, 1.0, 1e3), never true or false; and within
    // [min, max], else an error that names the range. min is never above 0
    // and max never below it.
    long long integer(const Poco::Dynamic::Var& value, const std::string& path, long long min, long long max) const;
    unsigned long long unsignedInteger(const Poco::Dynamic::Var& value, const std::string& path) const;
    int int32(const Poco::Dynamic::Var& value, const std::string& path) const;

    // "null", "an object", "an array", "a string", "a boolean", "a number".
    static std::string kindOf(const Poco::Dynamic::Var& value);

    // An object of texts, as wide texts by wide name.
    std::map<std::wstring, std::wstring> textMap(const Poco::Dynamic::Var& value, const std::string& path) const;

private:
    struct Integral {
        bool negative = false;
        unsigned long long magnitude = 0;
    };

    Integral integral(const Poco::Dynamic::Var& value, const std::string& path) const;
    [[noreturn]] void failRange(const std::string& path, const std::string& min, const std::string& max) const;

    std::string file_;
    const std::string& text_;
};

} // namespace actionhost
