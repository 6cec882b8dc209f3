// Comparing an expect block with a run: the first difference, and the lists
// aligned entry by entry.
#include "test/Expectations.h"

#include "scenario/Json.h"

#include <algorithm>
#include <map>
#include <set>

namespace actionhost {

std::string listDiff(const std::string& name, const Json& expected, const Json& actual)
{
    std::vector<std::string> want, got;
    for (const Json& entry : expected)
        want.push_back(jsonText(entry));
    for (const Json& entry : actual)
        got.push_back(jsonText(entry));
    if (want == got)
        return std::string();
    // The longest common subsequence aligns the two lists, so that one entry
    // too many or too few shows as one line, not as every line after it.
    // Long lists are compared entry by entry.
    const std::size_t n = want.size(), m = got.size();
    std::vector<std::pair<char, std::size_t> > steps;  // '-' expected index, '+' actual index
    if (n * m <= 4000000) {
        std::vector<std::vector<unsigned> > common(n + 1, std::vector<unsigned>(m + 1, 0));
        for (std::size_t i = n; i-- > 0;)
            for (std::size_t j = m; j-- > 0;)
                common[i][j] = want[i] == got[j] ? common[i + 1][j + 1] + 1
                                                 : std::max(common[i + 1][j], common[i][j + 1]);
        std::size_t i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && want[i] == got[j]) {
                ++i;
                ++j;
            } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
                steps.emplace_back('-', i++);
            } else {
                steps.emplace_back('+', j++);
            }
        }
    } else {
        for (std::size_t i = 0; i < std::max(n, m); ++i) {
            if (i < n && (i >= m || want[i] != got[i]))
                steps.emplace_back('-', i);
            if (i < m && (i >= n || want[i] != got[i]))
                steps.emplace_back('+', i);
        }
    }
    std::string out = "  " + name + " (- expected, + actual, at their positions):\n";
    const std::size_t kShown = 40;
    for (std::size_t k = 0; k < steps.size() && k < kShown; ++k) {
        const bool missing = steps[k].first == '-';
        out += std::string("  ") + steps[k].first + " [" + std::to_string(steps[k].second) + "] " +
               (missing ? want : got)[steps[k].second] + "\n";
    }
    if (steps.size() > kShown)
        out += "  ... " + std::to_string(steps.size() - kShown) + " more\n";
    return out;
}

namespace {

// An object's members in the order of their names, as differences are listed.
std::map<std::string, Json> byName(const Json& object)
{
    std::map<std::string, Json> out;
    for (const auto& member : object.items())
        out.emplace(member.key(), member.value());
    return out;
}

std::string resultDifference(const Json& expect, const Json& run)
{
    const std::string want = jsonText(expect.at("result"));
    const bool exception = !run.at("exception").is_null();
    const std::string got = exception ? "\"exception\"" : jsonText(run.at("result"));
    if (want == got)
        return std::string();
    std::string message = "  result: expected " + want + ", got " + got;
    if (exception)
        message += " (" + run.at("exception").get<std::string>() + ")";
    return message + "\n";
}

// A text is the final value in the store, preset values included; null: the
// action never wrote the property.
std::string propertyDifferences(const Json& expect, const Json& run)
{
    const Json& properties = run.at("properties");
    std::set<std::string> written;
    if (run.contains("writes")) {
        for (const Json& write : run.at("writes"))
            written.insert(write.at(0).get<std::string>());
    }
    std::string out;
    for (const auto& member : byName(expect.at("properties"))) {
        const std::string& name = member.first;
        const std::string want = jsonText(member.second);
        if (member.second.is_null()) {
            if (written.count(name) != 0)
                out += "  properties." + name + ": expected null (never written), got " +
                       jsonText(properties.at(name)) + " (written)\n";
            continue;
        }
        const std::string got = properties.contains(name) ? jsonText(properties.at(name)) : "null";
        if (want != got)
            out += "  properties." + name + ": expected " + want + ", got " + got +
                   (got == "null" ? " (not in the store)" : "") + "\n";
    }
    return out;
}

std::string featureStateDifferences(const Json& expect, const Json& run)
{
    const Json& states = run.at("featureStates");
    std::string out;
    for (const auto& member : byName(expect.at("featureStates"))) {
        const std::string& name = member.first;
        const std::string got = states.contains(name) ? jsonText(states.at(name)) : "null";
        const std::string want = jsonText(member.second);
        if (want != got)
            out += "  featureStates." + name + ": expected " + want + ", got " + got +
                   (got == "null" ? " (never set)" : "") + "\n";
    }
    return out;
}

} // namespace

std::string Differences::summary() const
{
    std::string names;
    for (const std::string& key : keys)
        names += (names.empty() ? "" : ", ") + key;
    // "log differs", "properties differ", "result, log differ"
    const bool one = keys.size() == 1 && (keys[0] == "result" || keys[0] == "log");
    return names + (one ? " differs" : " differ");
}

Differences differences(const Json& expect, const Json& run)
{
    Differences found;
    auto add = [&found](const std::string& key, const std::string& details) {
        if (details.empty())
            return;
        found.keys.push_back(key);
        found.details += details;
    };
    if (expect.contains("result"))
        add("result", resultDifference(expect, run));
    for (const char* list : {"log", "writes", "calls"}) {
        if (!expect.contains(list))
            continue;
        add(list, run.contains(list) ? listDiff(list, expect.at(list), run.at(list))
                                     : "  " + std::string(list) + ": not recorded\n");
    }
    if (expect.contains("properties"))
        add("properties", propertyDifferences(expect, run));
    if (expect.contains("featureStates"))
        add("featureStates", featureStateDifferences(expect, run));
    return found;
}

} // namespace actionhost
