// Helpers for running actions of the built libraries on the simulated host.
#pragma once

#include "hosting/HostedAction.h"
#include "hosting/ActionLibrary.h"
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

// Fails the test when the transcript asks for a parameter that the action's
// catalogue entry lacks (for the two libraries this product ships).
void expectParametersInCatalogue(const char* library, const std::string& action, const std::vector<std::string>& calls);

// A vantorel action on a feature tree alone, the host throwing at faults.
inline Outcome runOnTree(const std::string& action, hosting::FeatureModel tree, std::vector<hosting::FaultEntry> faults = {})
{
    hosting::HostModel model;
    model.root = std::move(tree);
    model.faults = std::move(faults);
    return runVantorel(action, model);
}

// An action linked into the test program itself (declared with the
// signature of ActionEntry), called the way the host calls the DLL's.
inline hosting::HostedAction linkedAction(ActionEntry entry)
{
    return hosting::hostedAction(reinterpret_cast<void*>(entry));
}

// A context that is an IActionContext and nothing more, answering every
// operation with nothing: tests derive from it and override what they need.
class StubContext : public IActionContext {
public:
    void Log(int, const std::wstring&) override {}
    WideTextPtr GetParameter(const std::wstring&) override { return WideTextPtr(new std::wstring); }
    void SetProperty(const std::wstring&, const std::wstring&) override {}
    void ReservedHost1() override {}
    void ReservedHost2() override {}
    void ReservedHost3() override {}
    IFeature::Ptr GetRootFeature() override { return IFeature::Ptr(); }
    void ReservedHost4() override {}
    void ReservedHost5() override {}
    DiskCostListPtr GetDiskCostList() override { return DiskCostListPtr(); }
    std::wstring ResolveText(const std::wstring& text, const std::wstring&) override { return text; }
    void ReservedProperty1() override {}
    void ReservedProperty2() override {}
    void ReservedProperty3() override {}
    std::wstring GetPropertyText(const std::wstring&) override { return std::wstring(); }
};

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
