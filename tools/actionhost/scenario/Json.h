// JSON as the runner reads and shows it: a document that must be an object
// (a scenario, a run's result), and a value as compact text.
#pragma once

#include <Poco/JSON/Object.h>

#include <string>

namespace actionhost {

// Parses JSON text that must hold an object: a scenario already read
// strictly by loadScenario, or a run's result. what names the document in
// the error ("a scenario"). Throws ScenarioError naming file.
Poco::JSON::Object::Ptr parseJsonObject(const std::string& text, const std::string& file, const std::string& what);

// A value as compact JSON text, as runs and expectations are shown.
std::string jsonText(const Poco::Dynamic::Var& value);

} // namespace actionhost
