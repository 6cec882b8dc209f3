// Scenario files: a host described in JSON, the action to call on it and,
// optionally, what the call is expected to do.
#pragma once

#include "hosting/SimulatedHost.h"
#include "platform/RegistryFile.h"

#include "scenario/Json.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace actionhost {

// A scenario that cannot be used; the message names the file and the place.
class ScenarioError : public std::runtime_error {
public:
    explicit ScenarioError(const std::string& message) : std::runtime_error(message) {}
};

struct Scenario {
    std::string file;        // as given
    std::string directory;   // absolute folder of the file: the action's working directory
    std::string name;        // file name without folder
    std::string description;
    std::string library;     // "vantorel", "cobrinth" or a path relative to directory
    std::string action;
    // The action runs from a library this product ships, whose catalogue
    // tells what it reads (not so when another library replaces it).
    bool catalogued = false;
    hosting::HostModel model;
    bool hasDrives = false;
    std::string drives;      // the drive stand-in's configuration text
    bool hasRegistry = false;
    platform::RegistryKeys registry;  // keys below HKLM
    bool commandProcessor = true;  // false: the machine has none
    Json expect;                     // null when the file has no expect block
    double timeout = 0;              // seconds; 0: the runner's limit
};

// The largest scenario file read.
const unsigned long long kMaxScenarioBytes = 64ull << 20;

// Reads and checks a scenario file, strictly: an error (a syntax error, a
// key given twice, an integer beyond 64 bits, or a value of the wrong kind)
// names the file, the line and column, and the JSON path of the place.
// The action must be one its library exports, when that is one this product
// ships, unless libraryOverride names another library to run it from.
// Throws ScenarioError.
Scenario loadScenario(const std::string& file, const std::string& libraryOverride = "");

// The names of the registry types a value may give, REG_SZ (1) first, in
// the order of their numbers.
const std::vector<std::string>& registryTypeNames();

// Builds a scenario from a library, an action and name=value pairs.
Scenario adHocScenario(const std::string& library, const std::string& action,
                       const std::map<std::wstring, std::wstring>& parameters,
                       const std::map<std::wstring, std::wstring>& properties);

} // namespace actionhost
