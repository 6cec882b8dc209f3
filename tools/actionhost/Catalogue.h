// The actions this product ships: the one-line summaries of the action
// reference (docs/actions.md), the parameters each reads, the properties it
// reads and writes, and the world a scenario needs to run it. The names are
// the constants the actions themselves read.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace actionhost {

// A parameter an action asks the host for: one name, or a family of names
// made from a value (name + placeholder + suffix, "$du$<DU id>$installedrevision").
struct KnownParameter {
    std::wstring name;
    std::string meaning;
    std::string placeholder;  // empty: one name
    std::wstring suffix;
    std::string sample;       // what a scenario to start from gives

    bool isFamily() const { return !placeholder.empty(); }
    bool matches(const std::wstring& asked) const;
    std::string shown() const;  // the name, or the family with its placeholder
};

// What a scenario must describe besides empty parameters and properties:
// a feature tree, disk costs and a drive, the registry, a data file's path,
// or the installed revisions of two DUs and the one being installed.
enum class World { None, FeatureTree, DiskCosts, Registry, DataFile, Revisions };

struct KnownAction {
    std::string library;
    std::string name;
    std::string summary;
    std::vector<KnownParameter> parameters;  // in the order the action asks for them
    std::vector<std::wstring> reads;         // properties read, by name or family
    std::vector<std::wstring> writes;        // properties written under a fixed name
    World world = World::None;
    // The properties a scenario to start from presets, so that the action
    // takes its ordinary path to success and writes all it can.
    std::vector<std::pair<std::wstring, std::string> > sampleProperties;

    // Whether a name the action asked for is one of its parameters.
    bool readsParameter(const std::wstring& asked) const;
};

const std::vector<KnownAction>& knownActions();

// The action, or null; library "vantorel" or "cobrinth".
const KnownAction* findKnownAction(const std::string& library, const std::string& action);

// The names of a library's actions, ", "-separated, for messages.
std::string actionNames(const std::string& library);

// The libraries this product ships, by the names a scenario gives them.
const std::vector<std::string>& knownLibraries();

// Whether the library is one this product ships (its actions are all known).
bool isKnownLibrary(const std::string& library);

} // namespace actionhost
