// Running a scenario: its library found and loaded, its world set up, its
// action called on the simulated host; and the run as JSON.
#include "run/Runner.h"

#include "catalogue/Catalogue.h"
#include "os/ProgramFolder.h"

#include "hosting/ActionLibrary.h"
#include "hosting/World.h"
#include "platform/RegistryFile.h"

#include <Poco/Environment.h>
#include <Poco/File.h>
#include <Poco/Path.h>

#include <filesystem>
#include <memory>


namespace actionhost {

namespace {

std::string libraryFileName(const std::string& name)
{
    return Poco::Environment::isWindows() ? name + ".dll" : "lib" + name + ".so";
}

class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::string& directory) : old_(std::filesystem::current_path())
    {
        std::filesystem::current_path(std::filesystem::u8path(directory));
    }
    ~ScopedWorkingDirectory()
    {
        std::error_code ignored;
        std::filesystem::current_path(old_, ignored);
    }

private:
    std::filesystem::path old_;
};

} // namespace

std::string resolveLibrary(const std::string& library, const std::string& directory)
{
    if (isKnownLibrary(library)) {
        const std::string here = programFolder();
        const std::string fileName = libraryFileName(library);
        // Build tree and Windows install: beside the program; installed
        // tree: the plug-in folder.
        // (here ends with a separator.)
        const std::string installed = here + ACTIONHOST_PLUGIN_DIR + "/" + fileName;
        for (const std::string& candidate : {Poco::Path(here).append(fileName).toString(), installed}) {
            if (Poco::File(candidate).exists())
                return candidate;
        }
        throw ScenarioError("library " + library + " not found beside " + here + " or in " +
                            Poco::Path(installed).parent().toString());
    }
    Poco::Path path(library);
    const std::string resolved = path.makeAbsolute(Poco::Path(directory)).toString();
    if (!Poco::File(resolved).exists())
        throw ScenarioError("library " + library + " not found (looked for " + resolved + ")");
    return resolved;
}

std::unique_ptr<hosting::ActionLibrary> openLibrary(const Scenario& scenario, const std::string& libraryOverride,
                                                    hosting::HostedAction& entry)
{
    // Every error names the scenario file and where the library was given.
    const std::string where = scenario.file + (libraryOverride.empty() ? ": $.library: " : ": --library: ");
    std::string libraryPath;
    std::unique_ptr<hosting::ActionLibrary> library;
    try {
        libraryPath = resolveLibrary(libraryOverride.empty() ? scenario.library : libraryOverride,
                                     libraryOverride.empty() ? scenario.directory : Poco::Path::current());
        library.reset(new hosting::ActionLibrary(libraryPath));
    } catch (const std::exception& error) {
        throw ScenarioError(where + error.what());
    }
    entry = library->find(scenario.action);
    if (entry == nullptr)
        throw ScenarioError(scenario.file + ": $.action: " + libraryPath + " does not export " + scenario.action);
    return library;
}

RunOutput runScenario(const Scenario& scenario, const std::string& libraryOverride, const std::function<void()>& ready)
{
    hosting::HostedAction entry;
    const std::unique_ptr<hosting::ActionLibrary> library = openLibrary(scenario, libraryOverride, entry);

    hosting::WorldModel world;
    world.hasDrives = scenario.hasDrives;
    world.drives = scenario.drives;
    world.hasRegistry = scenario.hasRegistry;
    world.commandProcessor = scenario.commandProcessor;
    if (scenario.hasRegistry)
        world.registry = platform::registryExportText(scenario.registry);
    std::unique_ptr<hosting::SimulatedWorld> simulated;
    try {
        simulated.reset(new hosting::SimulatedWorld(library.get(), world));
    } catch (const std::exception& error) {
        throw ScenarioError(scenario.file + ": " + error.what());
    }
    ScopedWorkingDirectory workingDirectory(scenario.directory);
    hosting::SimulatedHost host(scenario.model);
    if (ready)
        ready();
    host.run(entry);
    return RunOutput{host.record(), host.properties()};
}

Json toJson(const RunOutput& output, bool withCalls)
{
    const hosting::RunRecord& record = output.record;
    Json run = Json::object();
    if (record.exception) {
        run["result"] = nullptr;
        run["exception"] = record.exceptionText;
    } else {
        run["result"] = record.result;
        run["exception"] = nullptr;
    }
    Json log = Json::array();
    for (const hosting::LogLine& line : record.log)
        log.push_back(Json::array({line.level, hosting::narrow(line.text)}));
    run["log"] = std::move(log);
    Json writes = Json::array();
    for (const auto& write : record.writes)
        writes.push_back(Json::array({hosting::narrow(write.first), hosting::narrow(write.second)}));
    run["writes"] = std::move(writes);
    Json states = Json::object();
    for (const auto& state : record.featureStates)
        states[hosting::narrow(state.first)] = state.second;
    run["featureStates"] = std::move(states);
    // The whole store after the call: preset values the action left alone
    // included.
    Json properties = Json::object();
    for (const auto& property : output.properties)
        properties[hosting::narrow(property.first)] = hosting::narrow(property.second);
    run["properties"] = std::move(properties);
    if (withCalls)
        run["calls"] = record.calls;
    return run;
}

} // namespace actionhost
