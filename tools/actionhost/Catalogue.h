// The actions this product ships, with the one-line summaries of the action
// reference (docs/actions.md).
#pragma once

#include <string>
#include <vector>

namespace actionhost {

struct KnownAction {
    const char* library;
    const char* name;
    const char* summary;
};

const std::vector<KnownAction>& knownActions();

} // namespace actionhost
