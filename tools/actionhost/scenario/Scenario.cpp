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

#include <Poco/Exception.h>
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

hosting::FeatureModel readFeature(const ScenarioReader& reader, const Json& value, const std::string& path)
{
    const Json& node = reader.object(value, path);
    reader.onlyKeys(node, path, {"id", "enabled", "default", "installed", "installing", "marker", "children"});
    hosting::FeatureModel feature;
    if (!node.contains("id"))
        reader.fail(path, "a feature needs an \"id\"");
    feature.id = hosting::widen(reader.text(node.at("id"), path + ".id"));
    if (node.contains("enabled"))
        feature.enabled = reader.boolean(node.at("enabled"), path + ".enabled");
    if (node.contains("default"))
        feature.defaultState = reader.int32(node.at("default"), path + ".default");
    if (node.contains("installed"))
        feature.installed = reader.int32(node.at("installed"), path + ".installed");
    if (node.contains("installing"))
        feature.installing = reader.int32(node.at("installing"), path + ".installing");
    if (node.contains("marker"))
        feature.marker = reader.int32(node.at("marker"), path + ".marker");
    if (node.contains("children")) {
        const Json& children = reader.array(node.at("children"), path + ".children");
        for (std::size_t i = 0; i < children.size(); ++i)
            feature.children.push_back(
                readFeature(reader, children.at(i), path + ".children[" + std::to_string(i) + "]"));
    }
    return feature;
}

std::string readDrives(const ScenarioReader& reader, const Json& value, const std::string& directory)
{
    std::string config;
    for (const JsonMember& member : reader.members(value, "$.drives")) {
        const std::string path = "$.drives." + member.key();
        const std::string& root = member.key();
        if (root.size() != 2 || root[1] != ':' || !std::isalpha(static_cast<unsigned char>(root[0])))
            reader.fail(path, "a drive is named by a letter and a colon, such as \"C:\"");
        const Json& drive = reader.object(member.value(), path);
        reader.onlyKeys(drive, path, {"type", "freeBytes", "path"});
        std::string type = "fixed";
        if (drive.contains("type")) {
            type = reader.text(drive.at("type"), path + ".type");
            const std::vector<std::string>& types = platform::driveTypeNames();
            if (std::find(types.begin(), types.end(), type) == types.end())
                reader.fail(path + ".type", "unknown drive type \"" + type + "\" (" +
                                                Poco::cat(std::string(", "), types.begin(), types.end()) + ")");
        }
        if (drive.contains("freeBytes") && drive.contains("path"))
            reader.fail(path, "give \"freeBytes\" or \"path\", not both");
        std::string entry = root + "=" + type;
        if (drive.contains("freeBytes")) {
            entry += "#" + std::to_string(reader.unsignedInteger(drive.at("freeBytes"), path + ".freeBytes"));
        } else if (drive.contains("path")) {
            const std::string given = reader.text(drive.at("path"), path + ".path");
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
platform::RegistryValue readRegistryValue(const ScenarioReader& reader, const Json& given,
                                          const std::string& path)
{
    platform::RegistryValue value;
    if (given.is_string()) {
        value.data = platform::utf16Value(hosting::widen(given.get<std::string>()));
        return value;
    }
    if (!given.is_object())
        reader.fail(path, "expected a text or {\"type\": ..., \"hex\": ...}, found " + ScenarioReader::kindOf(given));
    const Json& object = reader.object(given, path);
    reader.onlyKeys(object, path, {"type", "hex", "firstQuerySize", "secondQueryFails"});
    if (object.contains("type")) {
        const std::string type = reader.text(object.at("type"), path + ".type");
        const auto known = std::find(registryTypeNames().begin(), registryTypeNames().end(), type);
        if (known == registryTypeNames().end())
            reader.fail(path + ".type", "unknown type \"" + type + "\" (expected " +
                                            Poco::cat(std::string(", "), registryTypeNames().begin(),
                                                      registryTypeNames().end()) +
                                            ")");
        value.type = static_cast<std::uint32_t>(known - registryTypeNames().begin()) + 1;
    }
    if (!object.contains("hex"))
        reader.fail(path, "a value given as an object needs its \"hex\" bytes");
    value.data = readHexBytes(reader, reader.text(object.at("hex"), path + ".hex"), path + ".hex");
    if (value.type == 4 && value.data.size() != 4)
        reader.fail(path + ".hex", "a REG_DWORD holds 4 bytes");
    if (object.contains("firstQuerySize")) {
        value.hasReportedSize = true;
        value.reportedSize = static_cast<std::uint32_t>(
            reader.integer(object.at("firstQuerySize"), path + ".firstQuerySize", 0, 4294967295ll));
    }
    if (object.contains("secondQueryFails"))
        value.secondQueryFails = reader.boolean(object.at("secondQueryFails"), path + ".secondQueryFails");
    return value;
}

platform::RegistryKeys readRegistry(const ScenarioReader& reader, const Json& value)
{
    platform::RegistryKeys keys;
    for (const JsonMember& member : reader.members(value, "$.registry")) {
        const std::string path = "$.registry." + member.key();
        std::string key = member.key();
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
        for (const JsonMember& entry : reader.members(member.value(), path)) {
            const std::string at = path + "." + entry.key();
            if (entry.key().find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
                reader.fail(at, "a value's name holds no line break and no NUL");
            values[hosting::widen(entry.key())] = readRegistryValue(reader, entry.value(), at);
        }
    }
    return keys;
}

// A transcript entry, or {"call": entry, "occurrence": N}: the Nth matching
// call. An object, since a transcript entry may hold any character, so that
// no spelling inside a text could stand for the number.
hosting::FaultEntry readFault(const ScenarioReader& reader, const Json& value, const std::string& path)
{
    hosting::FaultEntry fault;
    if (value.is_string()) {
        fault.call = value.get<std::string>();
        return fault;
    }
    if (!value.is_object())
        reader.fail(path, "expected a transcript entry or {\"call\": ..., \"occurrence\": N}, found " +
                              ScenarioReader::kindOf(value));
    const Json& object = reader.object(value, path);
    reader.onlyKeys(object, path, {"call", "occurrence"});
    if (!object.contains("call"))
        reader.fail(path, "a fault needs the \"call\" it throws at");
    fault.call = reader.text(object.at("call"), path + ".call");
    fault.occurrence = 1;
    if (object.contains("occurrence")) {
        const long long nth = reader.integer(object.at("occurrence"), path + ".occurrence", 0, 2147483647);
        if (nth == 0)
            reader.fail(path + ".occurrence", "number out of range: expected an integer from 1 to 2147483647");
        fault.occurrence = static_cast<std::size_t>(nth);
    }
    return fault;
}

void checkExpect(const ScenarioReader& reader, const Json& expect)
{
    reader.onlyKeys(expect, "$.expect", {"result", "log", "properties", "writes", "featureStates", "calls"});
    if (expect.contains("result")) {
        const Json& result = expect.at("result");
        const bool valid = (result.is_number() && (result.get<double>() == 0 || result.get<double>() == 1)) ||
                           (result.is_string() && result.get<std::string>() == "exception");
        if (!valid)
            reader.fail("$.expect.result", "expected 0, 1 or \"exception\"");
    }
    for (const char* pairs : {"log", "writes"}) {
        if (!expect.contains(pairs))
            continue;
        const std::string path = std::string("$.expect.") + pairs;
        const Json& list = reader.array(expect.at(pairs), path);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string at = path + "[" + std::to_string(i) + "]";
            const Json& pair = reader.array(list.at(i), at);
            if (pair.size() != 2)
                reader.fail(at, "expected a pair");
            if (std::string(pairs) == "log")
                reader.int32(pair.at(0), at + "[0]");
            else
                reader.text(pair.at(0), at + "[0]");
            reader.text(pair.at(1), at + "[1]");
        }
    }
    if (expect.contains("properties")) {
        for (const JsonMember& member : reader.members(expect.at("properties"), "$.expect.properties"))
            if (!member.value().is_null())
                reader.text(member.value(), "$.expect.properties." + member.key());
    }
    if (expect.contains("featureStates")) {
        for (const JsonMember& member : reader.members(expect.at("featureStates"), "$.expect.featureStates"))
            if (!member.value().is_null())
                reader.int32(member.value(), "$.expect.featureStates." + member.key());
    }
    if (expect.contains("calls")) {
        const Json& calls = reader.array(expect.at("calls"), "$.expect.calls");
        for (std::size_t i = 0; i < calls.size(); ++i)
            reader.text(calls.at(i), "$.expect.calls[" + std::to_string(i) + "]");
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
    const StrictDocument document = readStrictJson(text);
    if (document.error)
        throw ScenarioError(file + ":" + document.error->place + ": " + document.error->path + ": " +
                            document.error->reason);
    ScenarioReader reader(file, text, document);
    // The text is strict JSON by now: what remains to be wrong is its kind.
    const Json& root = document.root;
    if (!root.is_object())
        reader.fail("$", "a scenario is a JSON object");
    reader.onlyKeys(root, "$", {"$schema", "description", "library", "action", "parameters", "properties", "resolve",
                                "features", "diskCosts", "drives", "registry", "commandProcessor", "faults", "expect",
                                "timeout"});

    Scenario scenario;
    scenario.file = file;
    Poco::Path path(file);
    path.makeAbsolute();
    scenario.name = path.getFileName();
    scenario.directory = path.parent().toString();
    if (root.contains("description"))
        scenario.description = reader.text(root.at("description"), "$.description");
    scenario.library = "vantorel";
    if (root.contains("library")) {
        scenario.library = reader.text(root.at("library"), "$.library");
        checkLibraryName(reader, scenario.library);
    }
    if (!root.contains("action"))
        reader.fail("$", "the \"action\" to call is missing");
    scenario.action = reader.text(root.at("action"), "$.action");
    if (scenario.action.empty())
        reader.fail("$.action", "the action's name is empty");
    if (root.contains("$schema"))
        reader.text(root.at("$schema"), "$.$schema");
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
        if (!root.contains("library") && !elsewhere.empty())
            reader.fail("$.action", "the scenario names no library, so " + scenario.library + " is taken, which does "
                                    "not export " + scenario.action + "; " + elsewhere + " does: give \"library\": \"" +
                                    elsewhere + "\"");
        reader.fail("$.action", scenario.library + (root.contains("library") ? "" : " (the scenario names no library)") +
                                    " does not export " + scenario.action + "; its actions: " +
                                    actionNames(scenario.library));
    }
    if (root.contains("parameters"))
        scenario.model.parameters = reader.textMap(root.at("parameters"), "$.parameters");
    if (root.contains("properties"))
        scenario.model.properties = reader.textMap(root.at("properties"), "$.properties");
    if (root.contains("resolve"))
        scenario.model.resolve = reader.textMap(root.at("resolve"), "$.resolve");
    if (root.contains("features"))
        scenario.model.root = readFeature(reader, root.at("features"), "$.features");
    if (root.contains("diskCosts")) {
        const Json& costs = reader.array(root.at("diskCosts"), "$.diskCosts");
        for (std::size_t i = 0; i < costs.size(); ++i) {
            const std::string at = "$.diskCosts[" + std::to_string(i) + "]";
            const Json& cost = reader.object(costs.at(i), at);
            reader.onlyKeys(cost, at, {"path", "cost"});
            if (!cost.contains("path") || !cost.contains("cost"))
                reader.fail(at, "a disk cost needs \"path\" and \"cost\"");
            hosting::DiskCostModel entry;
            entry.path = hosting::widen(reader.text(cost.at("path"), at + ".path"));
            entry.cost = reader.integer(cost.at("cost"), at + ".cost", std::numeric_limits<long long>::min(),
                                        std::numeric_limits<long long>::max());
            scenario.model.diskCosts.push_back(entry);
        }
    }
    if (root.contains("drives")) {
        scenario.hasDrives = true;
        scenario.drives = readDrives(reader, root.at("drives"), scenario.directory);
    }
    if (root.contains("registry")) {
        scenario.hasRegistry = true;
        scenario.registry = readRegistry(reader, root.at("registry"));
    }
    if (root.contains("commandProcessor"))
        scenario.commandProcessor = reader.boolean(root.at("commandProcessor"), "$.commandProcessor");
    if (root.contains("faults")) {
        const Json& faults = reader.array(root.at("faults"), "$.faults");
        for (std::size_t i = 0; i < faults.size(); ++i)
            scenario.model.faults.push_back(readFault(reader, faults.at(i), "$.faults[" + std::to_string(i) + "]"));
    }
    if (root.contains("timeout")) {
        const Json& timeout = root.at("timeout");
        if (!timeout.is_number() || !(timeout.get<double>() > 0) || timeout.get<double>() > 86400)
            reader.fail("$.timeout", "expected a number of seconds from 0 to 86400");
        scenario.timeout = timeout.get<double>();
    }
    if (root.contains("expect")) {
        scenario.expect = reader.object(root.at("expect"), "$.expect");
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
