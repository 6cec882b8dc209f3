// Parsing a JSON object, and a value as compact text.
#include "scenario/Json.h"

#include "scenario/Scenario.h"

#include <Poco/JSON/Parser.h>
#include <Poco/JSON/Stringifier.h>

#include <sstream>

namespace actionhost {

std::string jsonText(const Poco::Dynamic::Var& value)
{
    std::ostringstream out;
    Poco::JSON::Stringifier::stringify(value, out);
    return out.str();
}

Poco::JSON::Object::Ptr parseJsonObject(const std::string& text, const std::string& file, const std::string& what)
{
    Poco::JSON::Parser parser;
    Poco::Dynamic::Var root;
    try {
        root = parser.parse(text);
    } catch (const Poco::Exception& error) {
        throw ScenarioError(file + ": invalid JSON: " + error.message());
    }
    if (root.type() != typeid(Poco::JSON::Object::Ptr))
        throw ScenarioError(file + ": $: " + what + " is a JSON object");
    return root.extract<Poco::JSON::Object::Ptr>();
}

} // namespace actionhost
