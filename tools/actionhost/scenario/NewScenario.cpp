// A scenario to start from, made from an action's catalogue entry.
#include "scenario/NewScenario.h"

#include "os/ProgramFolder.h"
#include "scenario/Json.h"
#include "scenario/Schema.h"

#include "names/Names.h"
#include "hosting/SimulatedHost.h"

#include <filesystem>
#include <system_error>

namespace actionhost {

namespace {

Json featureNode(const std::string& id, int defaultState, int installing)
{
    return {{"id", id},      {"enabled", true}, {"default", defaultState}, {"installed", 0},
            {"installing", installing}, {"marker", 0}};
}

// A file installed with this program's data (the schema, the examples), as
// an absolute path; empty when there is none.
std::filesystem::path installedDataFile(const std::string& relative)
{
    namespace fs = std::filesystem;
    const fs::path file = fs::u8path(programFolder()) / fs::u8path(ACTIONHOST_DATA_DIR) / fs::u8path(relative);
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return fs::path();
    const fs::path canonical = fs::weakly_canonical(file, error);
    return error ? file : canonical;
}

const char kExampleForwardFitFile[] = "examples/data/forward-fit.txt";

} // namespace

std::string newScenario(const KnownAction& action, const std::string& schemaPath)
{
    Json scenario;
    scenario["$schema"] = schemaPath;
    scenario["description"] = "";  // filled in below, kept in this place
    std::string description = action.name + ": " + action.summary;
    scenario["library"] = action.library;
    scenario["action"] = action.name;
    Json parameters = Json::object();
    for (const KnownParameter& parameter : action.parameters) {
        if (!parameter.isFamily())
            parameters[hosting::narrow(parameter.name)] = parameter.sample;
    }
    Json properties = Json::object();
    for (const auto& property : action.sampleProperties)
        properties[hosting::narrow(property.first)] = property.second;
    Json world = Json::object();
    switch (action.world) {
    case World::None:
        break;
    case World::FeatureTree:
        // A feature on by default that the installation will install.
        world["features"] = featureNode("root", 0, 0);
        world["features"]["children"] = Json::array({featureNode("Feature", 1, 1)});
        break;
    case World::DiskCosts:
        world["diskCosts"] = Json::array({{{"path", "C:\\Program Files\\Product"}, {"cost", 1024}}});
        world["drives"] = {{"C:", {{"type", "fixed"}, {"freeBytes", 1073741824}}}};
        break;
    case World::Registry:
        world["registry"] = {{"HKLM\\" + hosting::narrow(names::kCurrentVersionKey),
                              {{hosting::narrow(names::kProgramFilesDir), "C:\\Program Files"},
                               {hosting::narrow(names::kProgramFilesDirX86), "C:\\Program Files (x86)"}}}};
        break;
    case World::DataFile: {
        // The example data file installed with this program, else one the
        // author writes beside the scenario.
        const std::filesystem::path example = installedDataFile(kExampleForwardFitFile);
        if (!example.empty())
            parameters[hosting::narrow(names::kForwardFitDataFile)] = example.u8string();
        else
            description += " Write the forward-fit data file " +
                           parameters[hosting::narrow(names::kForwardFitDataFile)].get<std::string>() +
                           " beside this scenario: under each installing SP level, the level up to which each "
                           "installed SP level's patches are carried forward (\"14.0.3: 14.0.0.12 14.0.1.5\").";
        break;
    }
    case World::Revisions:
        // The installed revision of each DU the action asks about.
        for (const char* du : {"product", "family"})
            parameters[hosting::narrow(names::kDuPrefix) + du + hosting::narrow(names::kInstalledRevisionSuffix)] =
                "14.0.2.1";
        break;
    }
    scenario["description"] = description;
    scenario["parameters"] = parameters;
    if (!properties.empty())
        scenario["properties"] = properties;
    for (const auto& item : world.items())
        scenario[item.key()] = item.value();
    return scenario.dump(4) + "\n";
}

std::string installedSchemaPath()
{
    namespace fs = std::filesystem;
    const fs::path schema = installedDataFile(kSchemaFileName);
    if (schema.empty())
        return kSchemaFileName;
    std::error_code error;
    const fs::path relative = fs::relative(schema, fs::current_path(error), error);
    const fs::path shown = error || relative.empty() ? schema : relative;
    return shown.generic_u8string();
}

} // namespace actionhost
