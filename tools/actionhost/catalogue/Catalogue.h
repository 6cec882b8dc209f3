// The actions this product ships: the one-line summaries of the action
// reference (docs/actions.md), the parameters each reads, the properties it
// reads and writes, the world a scenario needs to run it, and how it treats
// a host that throws. The names are the constants the actions themselves
// read; the handlers' texts are those the actions log.
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

// How an action treats an exception raised by its host: most let it reach
// the host; a catch-all handler logs its crash line and returns 1; one
// handler catches what fails while a data file is read.
struct FaultHandling {
    enum Kind { None, CatchAll, ReadingHandler } kind = None;
    // CatchAll: the line the handler logs, at its level.
    int crashLevel = 4;
    std::wstring crashLine;
    bool firstCallOutside = false;   // the opening log line lies before the handler
    bool successLogOutside = false;  // the closing success line lies after it
    // ReadingHandler: its error line begins with errorPrefix; the file is
    // read after the line that begins with readingAfter, unless the next
    // line is readingSkipped.
    std::wstring errorPrefix;
    std::wstring readingAfter;
    std::wstring readingSkipped;
};

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
    FaultHandling handling;

    // Whether a name the action asked for is one of its parameters.
    bool readsParameter(const std::wstring& asked) const;
};

const std::vector<KnownAction>& knownActions();

// The action, or null; library "vantorel" or "cobrinth".
const KnownAction* findKnownAction(const std::string& library, const std::string& action);

// The names of a library's actions, ", "-separated, for messages.
std::string actionNames(const std::string& library);

// The number of a library's actions.
std::size_t actionCount(const std::string& library);

// The libraries this product ships, by the names a scenario gives them.
const std::vector<std::string>& knownLibraries();

// Whether the library is one this product ships (its actions are all known).
bool isKnownLibrary(const std::string& library);

} // namespace actionhost
