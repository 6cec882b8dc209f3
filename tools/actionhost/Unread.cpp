#include "Unread.h"

#include <algorithm>

namespace actionhost {

namespace {

// The lines for the names the action asked for: each once, in the order
// first asked.
std::vector<std::string> linesFor(const Scenario& scenario, const std::vector<std::string>& asked)
{
    std::vector<std::string> lines;
    for (const auto& parameter : scenario.model.parameters) {
        const std::string name = hosting::narrow(parameter.first);
        if (std::find(asked.begin(), asked.end(), name) == asked.end())
            lines.push_back("parameter \"" + name + "\" was not read in this run; ");
    }
    if (lines.empty())
        return lines;
    std::string read = scenario.action + (asked.empty() ? " read no parameter" : " read: ");
    for (std::size_t i = 0; i < asked.size(); ++i) {
        const std::wstring name = hosting::widen(asked[i]);
        const bool given = scenario.model.parameters.count(name) != 0 || scenario.model.properties.count(name) != 0;
        read += (i == 0 ? "" : ", ") + asked[i] + (given ? "" : " (not given)");
    }
    for (std::string& line : lines)
        line += read;
    return lines;
}

} // namespace

std::vector<std::string> unreadParameters(const Scenario& scenario, const std::vector<std::string>& calls)
{
    static const std::string kAsk = "GetParameter:";
    std::vector<std::string> asked;
    for (const std::string& call : calls) {
        if (call.compare(0, kAsk.size(), kAsk) != 0)
            continue;
        const std::string name = call.substr(kAsk.size());
        if (std::find(asked.begin(), asked.end(), name) == asked.end())
            asked.push_back(name);
    }
    return linesFor(scenario, asked);
}

std::vector<std::string> unreadParameters(const Scenario& scenario, const hosting::RunRecord& record)
{
    if (!record.calls.empty())
        return unreadParameters(scenario, record.calls);
    std::vector<std::string> asked;
    for (const std::wstring& name : record.parametersAsked)
        asked.push_back(hosting::narrow(name));
    return linesFor(scenario, asked);
}

} // namespace actionhost
