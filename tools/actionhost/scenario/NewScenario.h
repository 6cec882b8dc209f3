// A scenario to start from, for one action, that runs its ordinary success
// path as it is: every parameter it reads with the catalogue's sample value,
// the properties it reads, the smallest world it needs, and the schema's
// path for editors. test --update fills its "expect" block.
#pragma once

#include "catalogue/Catalogue.h"

#include <string>

namespace actionhost {

// The scenario as indented JSON text; schemaPath goes into "$schema".
std::string newScenario(const KnownAction& action, const std::string& schemaPath);

// The installed schema's path, relative to the current folder when it can
// be (where the scenario is most likely saved), else absolute; the bare
// file name when none is installed.
std::string installedSchemaPath();

} // namespace actionhost
