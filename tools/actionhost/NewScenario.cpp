#include "NewScenario.h"

#include "ProgramFolder.h"
#include "Schema.h"

#include "host/Names.h"
#include "hosting/SimulatedHost.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <system_error>

namespace actionhost {

namespace {

typedef nlohmann::ordered_json Json;

Json featureNode(const std::string& id)
{
    return {{"id", id}, {"enabled", true}, {"default", 0}, {"installed", 0}, {"installing", 0}, {"marker", 0}};
}

} // namespace

std::string newScenario(const KnownAction& action, const std::string& schemaPath)
{
    Json scenario;
    scenario["$schema"] = schemaPath;
    scenario["description"] = action.name + ": " + action.summary;
    scenario["library"] = action.library;
    scenario["action"] = action.name;
    Json parameters = Json::object();
    for (const KnownParameter& parameter : action.parameters) {
        if (!parameter.isFamily())
            parameters[hosting::narrow(parameter.name)] = "";
    }
    Json properties = Json::object();
    for (const std::wstring& read : action.reads) {
        if (read.find(L'<') == std::wstring::npos)
            properties[hosting::narrow(read)] = "";
    }
    Json world = Json::object();
    switch (action.world) {
    case World::None:
        break;
    case World::FeatureTree:
        world["features"] = featureNode("root");
        world["features"]["children"] = Json::array({featureNode("Feature")});
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
    case World::DataFile:
        // A file the author has yet to write, beside the scenario.
        parameters[hosting::narrow(names::kForwardFitDataFile)] = "forward-fit.txt";
        break;
    case World::Revisions:
        // Revisions the actions can read: an empty one ends some of them
        // with the number parser's exception.
        parameters[hosting::narrow(names::kProductDuId)] = "product";
        parameters[hosting::narrow(names::kProductFamilyDuId)] = "family";
        if (parameters.contains(hosting::narrow(names::kInstallingRevision)))
            parameters[hosting::narrow(names::kInstallingRevision)] = "1.0.0.0";
        for (const char* du : {"product", "family"})
            parameters[hosting::narrow(names::kDuPrefix) + du + hosting::narrow(names::kInstalledRevisionSuffix)] =
                "1.0.0.0";
        break;
    }
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
    const fs::path schema = fs::u8path(programFolder()) / fs::u8path(ACTIONHOST_DATA_DIR) / kSchemaFileName;
    std::error_code error;
    if (!fs::is_regular_file(schema, error))
        return kSchemaFileName;
    const fs::path canonical = fs::weakly_canonical(schema, error);
    const fs::path relative = fs::relative(canonical, fs::current_path(error), error);
    const fs::path shown = error || relative.empty() ? canonical : relative;
    return shown.generic_u8string();
}

} // namespace actionhost
