// The scenario schema, made from the catalogue and the state codes.
#include "scenario/Schema.h"

#include "catalogue/Catalogue.h"
#include "catalogue/States.h"
#include "scenario/Json.h"
#include "scenario/Scenario.h"

#include "hosting/SimulatedHost.h"
#include "platform/DriveConfig.h"

#include <cctype>
#include <limits>

namespace actionhost {

const char kSchemaFileName[] = "scenario.schema.json";

namespace {

Json described(Json schema, const std::string& description)
{
    schema["description"] = description;
    return schema;
}

Json text(const std::string& description)
{
    return described({{"type", "string"}}, description);
}

// Names as the loader reads them: whole, so none holds a NUL.
const Json kNoNulNames = {{"pattern", "^[^\\u0000]*$"}};

// An object of names and values of one kind.
Json mapOf(const Json& values)
{
    return {{"type", "object"}, {"propertyNames", kNoNulNames}, {"additionalProperties", values}};
}

Json textMap(const std::string& description)
{
    return described(mapOf({{"type", "string"}}), description);
}

Json int32()
{
    return {{"type", "integer"}, {"minimum", -2147483647LL - 1}, {"maximum", 2147483647LL}};
}

// Any code the host may answer: each named one a branch of its own, so that
// an editor shows its word, and the rest of the 32-bit range in a last one.
Json stateCode(const std::vector<std::string>& words, const std::string& what, const std::string& unknownText)
{
    Json branches = Json::array();
    Json named = Json::array();
    for (std::size_t code = 0; code < words.size(); ++code) {
        branches.push_back({{"const", code}, {"description", std::to_string(code) + ": " + words[code]}});
        named.push_back(code);
    }
    Json unknown = int32();
    unknown["not"] = {{"enum", named}};
    unknown["description"] = "a code DisplayFeatureInstallingState reports as unknown: \"" + unknownText + "\"";
    branches.push_back(unknown);
    return described({{"oneOf", branches}},
                     what + ": " + codesAndWords(words) + ", or any other 32-bit code (unknown); default 0");
}

Json feature()
{
    return {
        {"type", "object"},
        {"description", "a feature node"},
        {"required", {"id"}},
        {"additionalProperties", false},
        {"properties",
         {{"id", text("the feature's identifier")},
          {"enabled", described({{"type", "boolean"}}, "whether the feature may be chosen; default true")},
          {"default", described(int32(), "its default state: 1 on by default, anything else off; default 0")},
          {"installed", stateCode(installedStates(), "its installed state", kUnknownInstalledState)},
          {"installing", stateCode(installingStates(), "what the installation will do to it", kUnknownInstallingState)},
          {"marker", described(int32(), "its marker: 2 marks the feature (\"*\" in the display); default 0")},
          {"children", described({{"type", "array"}, {"items", {{"$ref", "#/$defs/feature"}}}}, "its child features, in order")}}}};
}

Json pairList(const Json& first, const std::string& description)
{
    return described({{"type", "array"},
                      {"items", {{"type", "array"}, {"prefixItems", {first, {{"type", "string"}}}},
                                 {"minItems", 2}, {"maxItems", 2}}}},
                     description);
}

Json expect()
{
    Json nullable = {{"type", {"string", "null"}}};
    return {{"type", "object"},
            {"description", "what the call must do; actionhost test checks each key given"},
            {"additionalProperties", false},
            {"properties",
             {{"result", described({{"enum", {0, 1, "exception"}}}, "0, 1, or \"exception\" when one left the action")},
              {"log", pairList(int32(), "every log line, [level, text], in order")},
              {"properties", described(mapOf(nullable),
                                       "final values in the store, preset ones included; null: never written")},
              {"writes", pairList({{"type", "string"}}, "every SetProperty, [name, value], in order")},
              {"featureStates", described(mapOf({{"oneOf", {int32(), {{"type", "null"}}}}}),
                                          "the last requested state set on each feature; null: never set")},
              {"calls", described({{"type", "array"}, {"items", {{"type", "string"}}}},
                                  "the complete transcript: \"Log:2\", \"GetParameter:NAME\", \"ID.GetChildren\", ...")}}}};
}

Json drives()
{
    Json types = Json::array();
    for (const std::string& type : platform::driveTypeNames())
        types.push_back(type);
    Json drive = {{"type", "object"},
                  {"additionalProperties", false},
                  {"properties",
                   {{"type", described({{"enum", types}}, "the drive's type; default fixed")},
                    {"freeBytes", described({{"type", "integer"}, {"minimum", 0}, {"maximum", 18446744073709551615ULL}},
                                            "the bytes free for the user")},
                    {"path", described({{"type", "string"}, {"pattern", "^[^\\u0000]+$"}},
                                       "a real folder whose free space the drive has, relative to the scenario")}}},
                  // "freeBytes" or "path", not both.
                  {"dependentSchemas", {{"freeBytes", {{"properties", {{"path", false}}}}}}}};
    return {{"type", "object"},
            {"description", "simulated drives; a drive not listed has no root"},
            {"propertyNames", {{"pattern", "^[A-Za-z]:$"}}},
            {"additionalProperties", drive}};
}

Json registry()
{
    const Json hex = {{"type", "string"}, {"pattern", "^([0-9A-Fa-f]{2}[ ,]?)*$"}};
    Json given = {
        {"type", "object"},
        {"additionalProperties", false},
        {"required", {"hex"}},
        {"properties",
         {{"type", described({{"enum", registryTypeNames()}}, "the value's type; default REG_SZ (any is read as text)")},
          {"hex", described(hex, "the value's bytes, as pairs of hex digits: \"41 00 42 00\" (no terminator added)")},
          {"firstQuerySize", described({{"type", "integer"}, {"minimum", 0}, {"maximum", 4294967295ULL}},
                                       "the size in bytes the first query, without a buffer, reports")},
          {"secondQueryFails", described({{"type", "boolean"}},
                                         "the query with a buffer fails (more data), as if the value had grown")}}},
        // A REG_DWORD holds 4 bytes.
        {"if", {{"properties", {{"type", {{"const", "REG_DWORD"}}}}}, {"required", {"type"}}}},
        {"then", {{"properties", {{"hex", {{"type", "string"}, {"pattern", "^([0-9A-Fa-f]{2}[ ,]?){4}$"}}}}}}}};
    Json values = {{"type", "object"},
                   {"propertyNames", {{"pattern", "^[^\\r\\n\\u0000]*$"}}},
                   {"additionalProperties",
                    {{"oneOf",
                      {described({{"type", "string"}}, "a REG_SZ text, stored with its terminator"),
                       described(given, "a value of any type and size, and how its two queries answer")}}}}};
    return {{"type", "object"},
            {"description", "the simulated registry: key paths below HKLM\\, each with its values by name"},
            {"propertyNames", {{"pattern", "^(HKLM|HKEY_LOCAL_MACHINE)\\\\[^\\r\\n\\u0000]*$"}}},
            {"additionalProperties", values}};
}

std::string regexQuoted(const std::wstring& name)
{
    std::string out;
    for (char c : hosting::narrow(name)) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos)
            out += '\\';
        out += c;
    }
    return out;
}

// The parameters an editor completes once the action is chosen.
Json actionParameters(const KnownAction& action)
{
    Json named = Json::object();
    Json families = Json::object();
    for (const KnownParameter& parameter : action.parameters) {
        if (parameter.isFamily())
            families["^" + regexQuoted(parameter.name) + ".*" + regexQuoted(parameter.suffix) + "$"] =
                text(parameter.shown() + ": " + parameter.meaning);
        else
            named[hosting::narrow(parameter.name)] = text(parameter.meaning);
    }
    Json parameters = {{"type", "object"}, {"properties", named}};
    if (!families.empty())
        parameters["patternProperties"] = families;
    return parameters;
}

// The action's condition: its name, and its library (vantorel's also when
// none is named, as the loader reads it). The name is matched by a pattern,
// not a "const": editors offer every "const" met in a condition as a value
// to complete, whether the condition holds or not.
Json chosen(const std::string& library, const std::string& action)
{
    const Json name = {{"type", "string"}, {"pattern", "^" + action + "$"}};
    Json condition = {{"properties", {{"library", {{"const", library}}}, {"action", name}}}};
    condition["required"] = library == "vantorel" ? Json{"action"} : Json{"action", "library"};
    return condition;
}

// A library's name, or else a path; never empty, and never one of the two
// names in other letters.
Json library()
{
    std::string otherCase;
    for (const std::string& name : knownLibraries()) {
        otherCase += otherCase.empty() ? "^(" : "|";
        for (char c : name)
            otherCase += std::string("[") + static_cast<char>(std::toupper(static_cast<unsigned char>(c))) + c + "]";
    }
    otherCase += ")$";
    return described({{"type", "string"},
                      {"minLength", 1},
                      {"examples", knownLibraries()},
                      {"anyOf", {{{"enum", knownLibraries()}}, {{"not", {{"pattern", otherCase}}}}}}},
                     "\"vantorel\" (default) or \"cobrinth\"; or a library's path relative to the scenario's folder");
}

} // namespace

std::string scenarioSchema()
{
    // Each library offers its own actions, with their summaries; the
    // parameters follow the action chosen.
    Json libraryActions = Json::object();
    Json conditions = Json::array();
    for (const KnownAction& action : knownActions()) {
        libraryActions[action.library].push_back({{"const", action.name}, {"description", action.summary}});
        conditions.push_back({{"if", chosen(action.library, action.name)},
                              {"then", {{"properties", {{"parameters", actionParameters(action)}}}}}});
    }
    for (const auto& library : libraryActions.items()) {
        Json condition = {{"properties", {{"library", {{"const", library.key()}}}}}};
        if (library.key() != "vantorel")
            condition["required"] = {"library"};
        conditions.push_back({{"if", condition},
                              {"then", {{"properties", {{"action", {{"oneOf", library.value()}}}}}}}});
    }

    Json schema = {
        {"$schema", "https://json-schema.org/draft/2020-12/schema"},
        {"title", "actionhost scenario"},
        {"description", "An installer custom action, the simulated host it runs on, and what it is expected to do."},
        {"type", "object"},
        {"required", {"action"}},
        {"additionalProperties", false},
        {"properties",
         {{"$schema", text("the path of this schema, for editors")},
          {"description", text("free text")},
          {"library", library()},
          {"action", described({{"type", "string"}, {"minLength", 1}}, "the exported action to call")},
          {"parameters", textMap("what GetParameter answers; a name not here falls back to \"properties\", then "
                                 "to \"\". The action's own parameters are offered; the host's values, such as "
                                 "$product.id, are parameters too")},
          {"properties", textMap("the property store before the call: GetPropertyText reads it, SetProperty "
                                 "writes it")},
          {"resolve", textMap("ResolveText(text, \"\") answers resolve[text], else text")},
          {"features", described({{"$ref", "#/$defs/feature"}}, "the feature tree; absent: one node \"root\"")},
          {"diskCosts",
           described({{"type", "array"},
                      {"items", {{"type", "object"},
                                 {"required", {"path", "cost"}},
                                 {"additionalProperties", false},
                                 {"properties", {{"path", text("a folder")},
                                                 {"cost", described({{"type", "integer"},
                                                                    {"minimum", std::numeric_limits<long long>::min()},
                                                                    {"maximum", std::numeric_limits<long long>::max()}},
                                                                   "KiB")}}}}}},
                     "GetDiskCostList: the installation's cost per folder")},
          {"drives", drives()},
          {"registry", registry()},
          {"commandProcessor", described({{"type", "boolean"}},
                                         "false: the machine has no command processor, and the C runtime says so "
                                         "when asked (system(NULL) is 0); true, the default: it has one")},
          {"faults",
           described({{"type", "array"},
                      {"items",
                       {{"anyOf",
                         {text("the first matching call no earlier entry took, by transcript entry: "
                               "\"B.GetChildren\", \"GetParameter:FeatureID\", \"Log:2\", \"Log\""),
                          described({{"type", "object"},
                                     {"required", {"call"}},
                                     {"additionalProperties", false},
                                     {"properties",
                                      {{"call", text("the transcript entry")},
                                       {"occurrence", described({{"type", "integer"},
                                                                 {"minimum", 1},
                                                                 {"maximum", 2147483647}},
                                                                "which matching call of the run, 1 the first")}}}},
                                    "the Nth call that matches the entry")}}}}},
                     "host calls that throw")},
          {"timeout", described({{"type", "number"}, {"exclusiveMinimum", 0}, {"maximum", 86400}},
                                "seconds this scenario may take under actionhost test")},
          {"expect", expect()}}},
        {"allOf", conditions},
        {"$defs", {{"feature", feature()}}}};
    return schema.dump(2) + "\n";
}

} // namespace actionhost
