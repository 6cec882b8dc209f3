// The world around an action, as a scenario or a test describes it: drives
// and the registry below HKEY_LOCAL_MACHINE. A SimulatedWorld makes it real
// for one loaded action library while it lives, and puts everything back
// when it ends.
//
// Off Windows the library's platform layer runs stand-ins configured by
// environment variables (VANTOREL_DRIVES, COBRINTH_REGISTRY,
// VANTOREL_COMMAND_PROCESSOR), which the world sets. On Windows the library
// calls the real API at its real call sites and the host does the
// simulating, through Windows' own mechanisms:
//  - the registry: HKEY_LOCAL_MACHINE is mapped, for this process, to a
//    scratch key below HKEY_CURRENT_USER filled from the export text
//    (RegOverridePredefKey); the scratch key is deleted afterwards;
//  - drives: the library's imports of GetDriveTypeW and GetDiskFreeSpaceExW
//    are redirected to the simulated drives, and restored afterwards;
//  - a machine without a command processor: the library's import of the C
//    runtime's _wsystem is redirected to one that answers no;
//  - registry values that report a size of their own or fail their second
//    query: the library's imports of RegOpenKeyExW, RegQueryValueExW and
//    RegCloseKey are redirected, and answer those values from the model
//    (every other value from the registry).
// Without a block, the real API (off Windows: the stand-in's default) answers.
#pragma once

#include <memory>
#include <string>

namespace hosting {

class ActionLibrary;

struct WorldModel {
    bool hasDrives = false;
    // The drive configuration text (see platform/DriveConfig.h).
    std::string drives;
    bool hasRegistry = false;
    // Registry-export text ("Windows Registry Editor Version 5.00", keys
    // below HKEY_LOCAL_MACHINE); see platform/RegistryFile.h.
    std::string registry;
    // false: the C runtime answers that there is no command processor
    // (system(NULL) and _wsystem(NULL) give 0).
    bool commandProcessor = true;
};

class SimulatedWorld {
public:
    // The library is the one whose drive queries are redirected on Windows;
    // it may be null when the world has no drives. Only one world may live
    // at a time. Throws std::runtime_error when the world cannot be set up.
    SimulatedWorld(const ActionLibrary* library, const WorldModel& world);
    ~SimulatedWorld();
    SimulatedWorld(const SimulatedWorld&) = delete;
    SimulatedWorld& operator=(const SimulatedWorld&) = delete;

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The scratch registry key (below HKEY_CURRENT_USER) that a world of the
// process with this id uses on Windows; a parent deletes it after a child
// that may have crashed. No effect elsewhere.
void removeScratchRegistry(unsigned long processId);

} // namespace hosting
