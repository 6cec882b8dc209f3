// The JSON Schema (draft 2020-12) of scenario files, for editors that
// complete and check what is typed: every key with its type and meaning,
// the actions of the two libraries, and each action's parameters.
#pragma once

#include <string>

namespace actionhost {

// The schema as indented JSON text, ending with a line feed.
std::string scenarioSchema();

// The file the schema is installed as, beside the examples' folder.
extern const char kSchemaFileName[];

} // namespace actionhost
