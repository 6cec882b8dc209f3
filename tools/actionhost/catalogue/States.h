// The codes a scenario's feature tree holds, and the words they stand for:
// the installed and installing states as DisplayFeatureInstallingState
// names them, and the requested states ChangeFeatureState sets.
#pragma once

#include <string>
#include <vector>

namespace actionhost {

// Indexed by code, 0 to 5.
const std::vector<std::string>& installedStates();
const std::vector<std::string>& installingStates();

// What DisplayFeatureInstallingState logs for any other code.
extern const char kUnknownInstalledState[];
extern const char kUnknownInstallingState[];

// The word of a named code, else "unknown (CODE)".
std::string stateWord(const std::vector<std::string>& words, int code);

// "NoChange", "Install", "Uninstall", "Repair" for 0, 1, 2, 4; else the number.
std::string requestedStateWord(int code);
// "4 (Repair)"; the number alone when it has no word.
std::string requestedStateText(int code);

// "0 absent, 1 installed, ...": the codes and their words, for messages.
std::string codesAndWords(const std::vector<std::string>& words);

} // namespace actionhost
