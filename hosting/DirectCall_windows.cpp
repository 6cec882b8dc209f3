// Calling an action directly, where no Visual C++ bridge stands between host and DLL.
#include "hosting/HostedAction.h"

namespace hosting {

HostedAction hostedAction(void* entry)
{
    return reinterpret_cast<ActionEntry>(entry);
}

std::string hostRuntime()
{
    return std::string();
}

} // namespace hosting
