// The words of the state codes, and the texts for the codes without one.
#include "catalogue/States.h"

namespace actionhost {

const std::vector<std::string>& installedStates()
{
    static const std::vector<std::string> words = {"absent", "installed", "unknown_instance",
                                                   "broken", "corrupt_inventory", "install_incomplete"};
    return words;
}

const std::vector<std::string>& installingStates()
{
    static const std::vector<std::string> words = {"nochange", "install", "uninstall",
                                                   "unknown_instance", "repair", "patch"};
    return words;
}

const char kUnknownInstalledState[] = "UNKNOWN InstalledState, should't be happened";
const char kUnknownInstallingState[] = "UNKNOWN InstallingState, should't be happened";

std::string stateWord(const std::vector<std::string>& words, int code)
{
    return code >= 0 && code < static_cast<int>(words.size()) ? words[code] : "unknown (" + std::to_string(code) + ")";
}

std::string requestedStateWord(int code)
{
    switch (code) {
    case 0: return "NoChange";
    case 1: return "Install";
    case 2: return "Uninstall";
    case 4: return "Repair";
    default: return std::to_string(code);
    }
}

std::string requestedStateText(int code)
{
    const std::string word = requestedStateWord(code);
    return std::to_string(code) + (word == std::to_string(code) ? "" : " (" + word + ")");
}

std::string codesAndWords(const std::vector<std::string>& words)
{
    std::string text;
    for (std::size_t code = 0; code < words.size(); ++code)
        text += (code == 0 ? "" : ", ") + std::to_string(code) + " " + words[code];
    return text;
}

} // namespace actionhost
