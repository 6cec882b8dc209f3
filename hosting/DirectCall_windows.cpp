#include "hosting/HostedAction.h"

namespace hosting {

HostedAction hostedAction(void* entry)
{
    return reinterpret_cast<ActionEntry>(entry);
}

} // namespace hosting
