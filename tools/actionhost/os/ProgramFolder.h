// The folder of the running program, where the action libraries built or
// installed with it are found.
#pragma once

#include <string>

namespace actionhost {

std::string programFolder();

} // namespace actionhost
