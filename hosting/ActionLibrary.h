// An action library as the host loads it; its platform files are
// Library_posix.cpp and Library_windows.cpp.
#pragma once

#include "hosting/SimulatedHost.h"

#include <string>

namespace hosting {

// An action library loaded by path: with LoadLibraryExW and GetProcAddress
// on Windows, dlopen and dlsym elsewhere. It stays loaded for the rest of
// the process: actions may have left objects (exception texts, say) whose
// code lives in it.
class ActionLibrary {
public:
    // Throws std::runtime_error naming the path when it cannot be loaded.
    explicit ActionLibrary(const std::string& path);
    ~ActionLibrary();
    ActionLibrary(const ActionLibrary&) = delete;
    ActionLibrary& operator=(const ActionLibrary&) = delete;

    // The exported action, or an empty one when the library has no such export.
    HostedAction find(const std::string& name) const;
    const std::string& path() const { return path_; }
    // The system's handle of the loaded module (an HMODULE on Windows).
    void* handle() const { return handle_; }

private:
    std::string path_;
    void* handle_;
};

} // namespace hosting
