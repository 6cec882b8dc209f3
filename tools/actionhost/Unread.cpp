#include "Unread.h"

#include <set>

namespace actionhost {

std::vector<std::string> unreadParameters(const Scenario& scenario, const std::vector<std::string>& calls)
{
    static const std::string kAsk = "GetParameter:";
    std::vector<std::string> asked;
    std::set<std::string> seen;
    for (const std::string& call : calls) {
        if (call.compare(0, kAsk.size(), kAsk) == 0 && seen.insert(call.substr(kAsk.size())).second)
            asked.push_back(call.substr(kAsk.size()));
    }
    std::vector<std::string> lines;
    for (const auto& parameter : scenario.model.parameters) {
        const std::string name = hosting::narrow(parameter.first);
        if (seen.count(name) == 0)
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

} // namespace actionhost

namespace actionhost {

std::vector<std::string> unreadParameters(const Scenario& scenario, const hosting::RunRecord& record)
{
    if (record.calls.empty() && !record.parametersAsked.empty()) {
        std::vector<std::string> asked;
        for (const std::wstring& name : record.parametersAsked)
            asked.push_back("GetParameter:" + hosting::narrow(name));
        return unreadParameters(scenario, asked);
    }
    return unreadParameters(scenario, record.calls);
}

} // namespace actionhost
