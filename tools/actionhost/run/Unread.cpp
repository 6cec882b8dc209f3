// What a scenario gave that its run never used: parameters not asked for, faults that never fired.
#include "run/Unread.h"

#include "catalogue/Catalogue.h"
#include "scenario/Nearest.h"

#include <Poco/String.h>

#include <algorithm>
#include <set>

namespace actionhost {

namespace {

std::string listed(const std::vector<std::string>& names)
{
    return Poco::cat(std::string(", "), names.begin(), names.end());
}

// The lines for the names the action asked for: each once, in the order
// first asked.
std::vector<Unused> linesFor(const Scenario& scenario, const std::vector<std::string>& asked)
{
    const KnownAction* known = scenario.catalogued ? findKnownAction(scenario.library, scenario.action) : nullptr;
    std::vector<Unused> lines;
    std::string read;
    for (const auto& parameter : scenario.model.parameters) {
        const std::string name = hosting::narrow(parameter.first);
        if (std::find(asked.begin(), asked.end(), name) != asked.end())
            continue;
        if (known != nullptr && !known->readsParameter(parameter.first)) {
            std::vector<std::string> own;
            for (const KnownParameter& its : known->parameters)
                own.push_back(its.shown());
            lines.push_back({scenario.action + " has no parameter \"" + name + "\"; " +
                                 (own.empty() ? "it reads no parameter" : "its parameters: " + listed(own)),
                             true});
            continue;
        }
        if (read.empty()) {
            read = scenario.action + (asked.empty() ? " read no parameter" : " read: ");
            for (std::size_t i = 0; i < asked.size(); ++i) {
                const std::wstring wide = hosting::widen(asked[i]);
                const bool given =
                    scenario.model.parameters.count(wide) != 0 || scenario.model.properties.count(wide) != 0;
                read += (i == 0 ? "" : ", ") + asked[i] + (given ? "" : " (not given)");
            }
        }
        // Without a catalogue entry, no path is known on which the name is read.
        lines.push_back({"parameter \"" + name + "\" was not read in this run; " + read, known == nullptr});
    }
    return lines;
}

} // namespace

std::vector<Unused> unreadParameters(const Scenario& scenario, const std::vector<std::string>& calls)
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

std::vector<Unused> unreadParameters(const Scenario& scenario, const hosting::RunRecord& record)
{
    if (!record.calls.empty())
        return unreadParameters(scenario, record.calls);
    std::vector<std::string> asked;
    for (const std::wstring& name : record.parametersAsked)
        asked.push_back(hosting::narrow(name));
    return linesFor(scenario, asked);
}

std::vector<Unused> unfiredFaultLines(const Scenario& scenario, const std::vector<std::string>& calls)
{
    std::vector<Unused> lines;
    const std::vector<std::pair<hosting::FaultEntry, std::size_t> > unfired =
        hosting::unfiredFaults(scenario.model.faults, calls);
    if (unfired.empty())
        return lines;
    const std::set<std::string> made(calls.begin(), calls.end());
    for (const auto& entry : unfired) {
        const hosting::FaultEntry& fault = entry.first;
        if (fault.occurrence > 0 && entry.second > 0) {
            // Past the last matching call.
            lines.push_back({"fault " + fault.shown() + " never fired in this run; " + std::to_string(entry.second) +
                                 (entry.second == 1 ? " call matches it" : " calls match it"),
                             true});
            continue;
        }
        std::vector<std::pair<std::size_t, std::string> > nearest;
        for (const std::string& call : made)
            nearest.emplace_back(editDistance(fault.call, call), call);
        std::sort(nearest.begin(), nearest.end());
        std::vector<std::string> shown;
        for (std::size_t i = 0; i < nearest.size() && i < 3; ++i)
            shown.push_back(nearest[i].second);
        lines.push_back({"fault " + fault.shown() + " never fired in this run; " +
                             (shown.empty() ? "the action made no host call" : "nearest calls made: " + listed(shown)),
                         true});
    }
    return lines;
}

} // namespace actionhost
