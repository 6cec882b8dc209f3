// Loading a scenario file: refused before it is read when it cannot be one,
// read strictly, then each key checked and turned into the simulated host.
#include "scenario/Scenario.h"

#include "catalogue/Catalogue.h"
#include "os/Files.h"
#include "scenario/Json.h"
#include "scenario/ScenarioReader.h"
#include "scenario/StrictJson.h"

#include "platform/DriveConfig.h"
#include "platform/RegistryFile.h"

#include <Poco/File.h>
#include <Poco/Path.h>
#include <Poco/String.h>

#include <algorithm>
#include <cctype>
#include <limits>

namespace actionhost {

namespace {

// "vantorel", "cobrinth" or a path: not empty, and not one of the two names
// in other letters, which would be taken for a path.
void checkLibraryName(const ScenarioReader& reader, const std::string& library)
{
    if (library.empty())
        reader.fail("$.library", "the library is empty: give \"vantorel\", \"cobrinth\" or a library's path");
    for (const std::string& known : knownLibraries()) {
        if (library != known && Poco::icompare(library, known) == 0)
            reader.fail("$.library", "no library is called \"" + library + "\": write \"" + known + "\"");
    }
}

hosting::FeatureModel readFeature(const ScenarioReader& reader, const Poco::Dynamic::Var& value, const std::string& path)
{
    Poco::JSON::Object::Ptr node = reader.object(value, path);
    reader.onlyKeys(node, path, {"id", "enabled", "default", "installed", "installing", "marker", "children"});
    hosting::FeatureModel feature;
    if (!node->has("id"))
        reader.fail(path, "a feature needs an \"id\"");
    feature.id = hosting::widen(reader.text(node->get("id"), path + ".id"));
    if (node->has("enabled"))
        feature.enabled = reader.boolean(node->get("enabled"), path + ".enabled");
    if (node->has("default"))
        feature.defaultState = reader.int32(node->get("default"), path + ".default");
    if (node->has("installed"))
        feature.installed = reader.int32(node->get("installed"), path + ".installed");
    if (node->has("installing"))
        feature.installing = reader.int32(node->get("installing"), path + ".installing");
    if (node->has("marker"))
        feature.marker = reader.int32(node->get("marker"), path + ".marker");
    if (node->has("children")) {
        Poco::JSON::Array::Ptr children = reader.array(node->get("children"), path + ".children");
        for (std::size_t i = 0; i < children->size(); ++i)
            feature.children.push_back(
                readFeature(reader, children->get(i), path + ".children[" + std::to_string(i) + "]"));
    }
    return feature;
}

std::string readDrives(const ScenarioReader& reader, const Poco::Dynamic::Var& value, const std::string& directory)
{
    std::string config;
    for (const auto& member : *reader.object(value, "$.drives")) {
        const std::string path = "$.drives." + member.first;
        const std::string& root = member.first;
        if (root.size() != 2 || root[1] != ':' || !std::isalpha(static_cast<unsigned char>(root[0])))
            reader.fail(path, "a drive is named by a letter and a colon, such as \"C:\"");
        Poco::JSON::Object::Ptr drive = reader.object(member.second, path);
        reader.onlyKeys(drive, path, {"type", "freeBytes", "path"});
        std::string type = "fixed";
        if (drive->has("type")) {
            type = reader.text(drive->get("type"), path + ".type");
            const std::vector<std::string>& types = platform::driveTypeNames();
            if (std::find(types.begin(), types.end(), type) == types.end())
                reader.fail(path + ".type", "unknown drive type \"" + type + "\" (" +
                                                Poco::cat(std::string(", "), types.begin(), types.end()) + ")");
        }
        if (drive->has("freeBytes") && drive->has("path"))
            reader.fail(path, "give \"freeBytes\" or \"path\", not both");
        std::string entry = root + "=" + type;
        if (drive->has("freeBytes")) {
            entry += "#" + std::to_string(reader.unsignedInteger(drive->get("freeBytes"), path + ".freeBytes"));
        } else if (drive->has("path")) {
            const std::string given = reader.text(drive->get("path"), path + ".path");
            if (given.empty() || given.find('\0') != std::string::npos)
                reader.fail(path + ".path", "a folder's path is not empty and holds no NUL");
            Poco::Path measured(given);
            entry += "@" + platform::encodeDriveDirectory(measured.makeAbsolute(Poco::Path(directory)).toString());
        }
        config += (config.empty() ? "" : ";") + entry;
    }
    return config;
}

// "41 00 42 00", "41,00,42,00" or "41004200": pairs of hex digits, each
// followed by at most one blank or comma.
std::vector<unsigned char> readHexBytes(const ScenarioReader& reader, const std::string& hex, const std::string& path)
{
    std::vector<unsigned char> bytes;
    for (std::size_t pos = 0; pos < hex.size();) {
        if (pos + 1 >= hex.size() || !std::isxdigit(static_cast<unsigned char>(hex[pos])) ||
            !std::isxdigit(static_cast<unsigned char>(hex[pos + 1])))
            reader.fail(path, "expected bytes as pairs of hex digits, each followed by at most one blank or comma");
        bytes.push_back(static_cast<unsigned char>(std::stoul(hex.substr(pos, 2), nullptr, 16)));
        pos += 2;
        if (pos < hex.size() && (hex[pos] == ' ' || hex[pos] == ','))
            ++pos;
    }
    return bytes;
}

// A text (a REG_SZ value with its terminator), or an object that gives the
// type and the bytes, and may give what the first query reports and that
// the second fails.
platform::RegistryValue readRegistryValue(const ScenarioReader& reader, const Poco::Dynamic::Var& given,
                                          const std::string& path)
{
    platform::RegistryValue value;
    if (given.isString()) {
        value.data = platform::utf16Value(hosting::widen(given.convert<std::string>()));
        return value;
    }
    if (given.type() != typeid(Poco::JSON::Object::Ptr))
        reader.fail(path, "expected a text or {\"type\": ..., \"hex\": ...}, found " + ScenarioReader::kindOf(given));
    Poco::JSON::Object::Ptr object = reader.object(given, path);
    reader.onlyKeys(object, path, {"type", "hex", "firstQuerySize", "secondQueryFails"});
    if (object->has("type")) {
        const std::string type = reader.text(object->get("type"), path + ".type");
        const auto known = std::find(registryTypeNames().begin(), registryTypeNames().end(), type);
        if (known == registryTypeNames().end())
            reader.fail(path + ".type", "unknown type \"" + type + "\" (expected " +
                                            Poco::cat(std::string(", "), registryTypeNames().begin(),
                                                      registryTypeNames().end()) +
                                            ")");
        value.type = static_cast<std::uint32_t>(known - registryTypeNames().begin()) + 1;
    }
    if (!object->has("hex"))
        reader.fail(path, "a value given as an object needs its \"hex\" bytes");
    value.data = readHexBytes(reader, reader.text(object->get("hex"), path + ".hex"), path + ".hex");
    if (value.type == 4 && value.data.size() != 4)
        reader.fail(path + ".hex", "a REG_DWORD holds 4 bytes");
    if (object->has("firstQuerySize")) {
        value.hasReportedSize = true;
        value.reportedSize = static_cast<std::uint32_t>(
            reader.integer(object->get("firstQuerySize"), path + ".firstQuerySize", 0, 4294967295ll));
    }
    if (object->has("secondQueryFails"))
        value.secondQueryFails = reader.boolean(object->get("secondQueryFails"), path + ".secondQueryFails");
    return value;
}

platform::RegistryKeys readRegistry(const ScenarioReader& reader, const Poco::Dynamic::Var& value)
{
    platform::RegistryKeys keys;
    for (const auto& member : *reader.object(value, "$.registry")) {
        const std::string path = "$.registry." + member.first;
        std::string key = member.first;
        bool known = false;
        for (const char* hive : {"HKLM\\", "HKEY_LOCAL_MACHINE\\"}) {
            if (key.compare(0, std::string(hive).size(), hive) == 0) {
                key.erase(0, std::string(hive).size());
                known = true;
                break;
            }
        }
        if (!known)
            reader.fail(path, "registry keys lie below HKLM\\ (HKEY_LOCAL_MACHINE\\)");
        if (key.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            reader.fail(path, "a registry key's path holds no line break and no NUL");
        platform::RegistryValues& values = keys[hosting::widen(key)];
        for (const auto& entry : *reader.object(member.second, path)) {
            const std::string at = path + "." + entry.first;
            if (entry.first.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
                reader.fail(at, "a value's name holds no line break and no NUL");
            values[hosting::widen(entry.first)] = readRegistryValue(reader, entry.second, at);
        }
    }
    return keys;
}

// A transcript entry, or {"call": entry, "occurrence": N}: the Nth matching
// call. An object, since a transcript entry may hold any character, so that
// no spelling inside a text could stand for the number.
hosting::FaultEntry readFault(const ScenarioReader& reader, const Poco::Dynamic::Var& value, const std::string& path)
{
    hosting::FaultEntry fault;
    if (value.isString()) {
        fault.call = value.convert<std::string>();
        return fault;
    }
    if (value.type() != typeid(Poco::JSON::Object::Ptr))
        reader.fail(path, "expected a transcript entry or {\"call\": ..., \"occurrence\": N}, found " +
                              ScenarioReader::kindOf(value));
    Poco::JSON::Object::Ptr object = reader.object(value, path);
    reader.onlyKeys(object, path, {"call", "occurrence"});
    if (!object->has("call"))
        reader.fail(path, "a fault needs the \"call\" it throws at");
    fault.call = reader.text(object->get("call"), path + ".call");
    fault.occurrence = 1;
    if (object->has("occurrence")) {
        const long long nth = reader.integer(object->get("occurrence"), path + ".occurrence", 0, 2147483647);
        if (nth == 0)
            reader.fail(path + ".occurrence", "number out of range: expected an integer from 1 to 2147483647");
        fault.occurrence = static_cast<std::size_t>(nth);
    }
    return fault;
}

void checkExpect(const ScenarioReader& reader, const Poco::JSON::Object::Ptr& expect)
{
    reader.onlyKeys(expect, "$.expect", {"result", "log", "properties", "writes", "featureStates", "calls"});
    if (expect->has("result")) {
        const Poco::Dynamic::Var result = expect->get("result");
        const bool integral = result.isNumeric() && !result.isBoolean() && !result.isString();
        const bool valid = (integral && (result.convert<double>() == 0 || result.convert<double>() == 1)) ||
                           (result.isString() && result.convert<std::string>() == "exception");
        if (!valid)
            reader.fail("$.expect.result", "expected 0, 1 or \"exception\"");
    }
    for (const char* pairs : {"log", "writes"}) {
        if (!expect->has(pairs))
            continue;
        const std::string path = std::string("$.expect.") + pairs;
        Poco::JSON::Array::Ptr list = reader.array(expect->get(pairs), path);
        for (std::size_t i = 0; i < list->size(); ++i) {
            const std::string at = path + "[" + std::to_string(i) + "]";
            Poco::JSON::Array::Ptr pair = reader.array(list->get(i), at);
            if (pair->size() != 2)
                reader.fail(at, "expected a pair");
            if (std::string(pairs) == "log")
                reader.int32(pair->get(0), at + "[0]");
            else
                reader.text(pair->get(0), at + "[0]");
            reader.text(pair->get(1), at + "[1]");
        }
    }
    if (expect->has("properties")) {
        for (const auto& member : *reader.object(expect->get("properties"), "$.expect.properties"))
            if (!member.second.isEmpty())
                reader.text(member.second, "$.expect.properties." + member.first);
    }
    if (expect->has("featureStates")) {
        for (const auto& member : *reader.object(expect->get("featureStates"), "$.expect.featureStates"))
            if (!member.second.isEmpty())
                reader.int32(member.second, "$.expect.featureStates." + member.first);
    }
    if (expect->has("calls")) {
        Poco::JSON::Array::Ptr calls = reader.array(expect->get("calls"), "$.expect.calls");
        for (std::size_t i = 0; i < calls->size(); ++i)
            reader.text(calls->get(i), "$.expect.calls[" + std::to_string(i) + "]");
    }
}

} // namespace

Scenario loadScenario(const std::string& file, const std::string& libraryOverride)
{
    // Refused before it is read: what is not a regular file (a FIFO would
    // block, a device never end) and what is larger than any scenario.
    try {
        Poco::File info(file);
        if (!info.exists())
            throw ScenarioError(file + ": no such file");
        if (!info.isFile())
            throw ScenarioError(file + ": not a regular file");
        if (info.getSize() > kMaxScenarioBytes)
            throw ScenarioError(file + ": " + std::to_string(info.getSize() >> 20) + " MiB, larger than the " +
                                std::to_string(kMaxScenarioBytes >> 20) + " MiB a scenario file may have");
    } catch (const Poco::Exception& error) {
        throw ScenarioError(file + ": cannot read: " + error.displayText());
    }
    std::string text;
    try {
        text = readFile(file);
    } catch (const Poco::Exception& error) {
        throw ScenarioError(file + ": cannot read: " + error.displayText());
    }
    if (const std::optional<JsonError> error = checkStrictJson(text))
        throw ScenarioError(file + ":" + error->place + ": " + error->path + ": " + error->reason);
    ScenarioReader reader(file, text);
    // The text is strict JSON by now: what remains to be wrong is its kind.
    Poco::JSON::Object::Ptr root;
    try {
        root = parseJsonObject(text, file, "a scenario");
    } catch (const ScenarioError&) {
        reader.fail("$", "a scenario is a JSON object");
    }
    reader.onlyKeys(root, "$", {"$schema", "description", "library", "action", "parameters", "properties", "resolve",
                                "features", "diskCosts", "drives", "registry", "commandProcessor", "faults", "expect",
                                "timeout"});

    Scenario scenario;
    scenario.file = file;
    Poco::Path path(file);
    path.makeAbsolute();
    scenario.name = path.getFileName();
    scenario.directory = path.parent().toString();
    if (root->has("description"))
        scenario.description = reader.text(root->get("description"), "$.description");
    scenario.library = "vantorel";
    if (root->has("library")) {
        scenario.library = reader.text(root->get("library"), "$.library");
        checkLibraryName(reader, scenario.library);
    }
    if (!root->has("action"))
        reader.fail("$", "the \"action\" to call is missing");
    scenario.action = reader.text(root->get("action"), "$.action");
    if (scenario.action.empty())
        reader.fail("$.action", "the action's name is empty");
    if (root->has("$schema"))
        reader.text(root->get("$schema"), "$.$schema");
    // The libraries this product ships, named or left out, are known to
    // their last action.
    scenario.catalogued = libraryOverride.empty() && isKnownLibrary(scenario.library);
    if (scenario.catalogued && findKnownAction(scenario.library, scenario.action) == nullptr) {
        // Left out, the library is vantorel; the action may be another's.
        std::string elsewhere;
        for (const std::string& other : knownLibraries()) {
            if (other != scenario.library && findKnownAction(other, scenario.action) != nullptr)
                elsewhere = other;
        }
        if (!root->has("library") && !elsewhere.empty())
            reader.fail("$.action", "the scenario names no library, so " + scenario.library + " is taken, which does "
                                    "not export " + scenario.action + "; " + elsewhere + " does: give \"library\": \"" +
                                    elsewhere + "\"");
        reader.fail("$.action", scenario.library + (root->has("library") ? "" : " (the scenario names no library)") +
                                    " does not export " + scenario.action + "; its actions: " +
                                    actionNames(scenario.library));
    }
    if (root->has("parameters"))
        scenario.model.parameters = reader.textMap(root->get("parameters"), "$.parameters");
    if (root->has("properties"))
        scenario.model.properties = reader.textMap(root->get("properties"), "$.properties");
    if (root->has("resolve"))
        scenario.model.resolve = reader.textMap(root->get("resolve"), "$.resolve");
    if (root->has("features"))
        scenario.model.root = readFeature(reader, root->get("features"), "$.features");
    if (root->has("diskCosts")) {
        Poco::JSON::Array::Ptr costs = reader.array(root->get("diskCosts"), "$.diskCosts");
        for (std::size_t i = 0; i < costs->size(); ++i) {
            const std::string at = "$.diskCosts[" + std::to_string(i) + "]";
            Poco::JSON::Object::Ptr cost = reader.object(costs->get(i), at);
            reader.onlyKeys(cost, at, {"path", "cost"});
            if (!cost->has("path") || !cost->has("cost"))
                reader.fail(at, "a disk cost needs \"path\" and \"cost\"");
            hosting::DiskCostModel entry;
            entry.path = hosting::widen(reader.text(cost->get("path"), at + ".path"));
            entry.cost = reader.integer(cost->get("cost"), at + ".cost", std::numeric_limits<long long>::min(),
                                        std::numeric_limits<long long>::max());
            scenario.model.diskCosts.push_back(entry);
        }
    }
    if (root->has("drives")) {
        scenario.hasDrives = true;
        scenario.drives = readDrives(reader, root->get("drives"), scenario.directory);
    }
    if (root->has("registry")) {
        scenario.hasRegistry = true;
        scenario.registry = readRegistry(reader, root->get("registry"));
    }
    if (root->has("commandProcessor"))
        scenario.commandProcessor = reader.boolean(root->get("commandProcessor"), "$.commandProcessor");
    if (root->has("faults")) {
        Poco::JSON::Array::Ptr faults = reader.array(root->get("faults"), "$.faults");
        for (std::size_t i = 0; i < faults->size(); ++i)
            scenario.model.faults.push_back(readFault(reader, faults->get(i), "$.faults[" + std::to_string(i) + "]"));
    }
    if (root->has("timeout")) {
        const Poco::Dynamic::Var timeout = root->get("timeout");
        if (!timeout.isNumeric() || timeout.isBoolean() || timeout.isString() || !(timeout.convert<double>() > 0) ||
            timeout.convert<double>() > 86400)
            reader.fail("$.timeout", "expected a number of seconds from 0 to 86400");
        scenario.timeout = timeout.convert<double>();
    }
    if (root->has("expect")) {
        scenario.expect = reader.object(root->get("expect"), "$.expect");
        checkExpect(reader, scenario.expect);
    }
    return scenario;
}

const std::vector<std::string>& registryTypeNames()
{
    static const std::vector<std::string> names = {"REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD"};
    return names;
}

Scenario adHocScenario(const std::string& library, const std::string& action,
                       const std::map<std::wstring, std::wstring>& parameters,
                       const std::map<std::wstring, std::wstring>& properties)
{
    Scenario scenario;
    scenario.file = "(command line)";
    scenario.name = action;
    scenario.directory = Poco::Path::current();
    scenario.library = library;
    scenario.action = action;
    scenario.catalogued = isKnownLibrary(library);
    scenario.model.parameters = parameters;
    scenario.model.properties = properties;
    return scenario;
}

} // namespace actionhost
