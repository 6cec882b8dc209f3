// JSON as the runner reads, compares and shows it: nlohmann's model, with
// the order of keys kept, for scenarios, run results and the schema alike.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace actionhost {

typedef nlohmann::ordered_json Json;

// Parses JSON text that must hold an object: a run's result. what names the
// document in the error ("a run's result"). Throws ScenarioError naming file.
Json parseJsonObject(const std::string& text, const std::string& file, const std::string& what);

// A value as compact JSON text, as runs and expectations are shown and
// compared: a number without a fraction as the integer it is, however it
// was written (1.0, 1e0, -0.0), since JSON Schema counts it as one.
std::string jsonText(const Json& value);

// A value as indented JSON text (run --json); text that is not UTF-8 is
// shown with U+FFFD.
std::string jsonDocument(const Json& value, int indent);

} // namespace actionhost
