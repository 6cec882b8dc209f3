// Loading an action library with dlopen and finding its actions.
#include "hosting/HostedAction.h"
#include "hosting/ActionLibrary.h"
#include "hosting/SimulatedHost.h"

#include <dlfcn.h>

#include <stdexcept>

namespace hosting {

ActionLibrary::ActionLibrary(const std::string& path) : path_(path), handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
    if (handle_ == nullptr) {
        const char* reason = ::dlerror();
        throw std::runtime_error("cannot load library " + path + ": " + (reason ? reason : "unknown error"));
    }
}

ActionLibrary::~ActionLibrary() = default;

HostedAction hostedAction(void* entry)
{
    return reinterpret_cast<ActionEntry>(entry);
}

std::string hostRuntime()
{
    return std::string();
}

HostedAction ActionLibrary::find(const std::string& name) const
{
    if (ActionEntry entry = reinterpret_cast<ActionEntry>(::dlsym(handle_, name.c_str())))
        return entry;
    return HostedAction();
}

} // namespace hosting
