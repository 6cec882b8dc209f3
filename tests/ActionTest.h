// Helpers for running actions of the built libraries on the simulated host.
#pragma once

#include "hosting/SimulatedHost.h"
#include "hosting/World.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

typedef std::vector<std::pair<int, std::wstring> > Log;

struct Outcome {
    hosting::RunRecord record;
    std::map<std::wstring, std::wstring> properties;

    int result() const { return record.result; }
    Log log() const;
    std::vector<std::wstring> logTexts() const;
    // The value of a property after the call, or "<unset>".
    std::wstring property(const std::wstring& name) const;
};

// The action library at path, loaded once per process.
hosting::ActionLibrary& loadedLibrary(const char* path);

// Runs an exported action of the library at path (loaded once per process,
// with LoadLibraryExW on Windows and dlopen elsewhere) on the simulated host,
// with the world's drives and registry in place when it has any.
Outcome runAction(const char* library, const std::string& action, const hosting::HostModel& model,
                  const hosting::WorldModel& world = hosting::WorldModel());

inline Outcome runVantorel(const std::string& action, const hosting::HostModel& model,
                           const hosting::WorldModel& world = hosting::WorldModel())
{
    return runAction(VANTOREL_LIBRARY, action, model, world);
}

inline Outcome runCobrinth(const std::string& action, const hosting::HostModel& model,
                           const hosting::WorldModel& world = hosting::WorldModel())
{
    return runAction(COBRINTH_LIBRARY, action, model, world);
}

// A feature node with children.
hosting::FeatureModel feature(const std::wstring& id, std::vector<hosting::FeatureModel> children = {});

// Sets or removes an environment variable of this process.
void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);

// True where the platform layer runs its stand-ins (drives from
// VANTOREL_DRIVES, the registry from COBRINTH_REGISTRY, /bin/sh), that is,
// everywhere but Windows.
bool usesStandIns();

// A scratch directory unique to the running test, removed at destruction.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    const std::string& path() const { return path_; }
    // Writes a file below the directory and returns its path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

} // namespace testing_support
