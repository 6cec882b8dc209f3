// Comparing an expect block with a run: the first difference, and the lists
// aligned entry by entry.
#include "test/Expectations.h"

#include "scenario/Json.h"

#include <Poco/JSON/Array.h>

#include <algorithm>
#include <set>

namespace actionhost {

std::string listDiff(const std::string& name, const Poco::JSON::Array::Ptr& expected,
                     const Poco::JSON::Array::Ptr& actual)
{
    std::vector<std::string> want, got;
    for (std::size_t i = 0; i < expected->size(); ++i)
        want.push_back(jsonText(expected->get(i)));
    for (std::size_t i = 0; i < actual->size(); ++i)
        got.push_back(jsonText(actual->get(i)));
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

std::string resultDifference(const Poco::JSON::Object::Ptr& expect, const Poco::JSON::Object::Ptr& run)
{
    const std::string want = jsonText(expect->get("result"));
    const std::string got = run->get("exception").isEmpty() ? jsonText(run->get("result")) : "\"exception\"";
    if (want == got)
        return std::string();
    std::string message = "  result: expected " + want + ", got " + got;
    if (!run->get("exception").isEmpty())
        message += " (" + run->get("exception").convert<std::string>() + ")";
    return message + "\n";
}

// A text is the final value in the store, preset values included; null: the
// action never wrote the property.
std::string propertyDifferences(const Poco::JSON::Object::Ptr& expect, const Poco::JSON::Object::Ptr& run)
{
    Poco::JSON::Object::Ptr properties = run->getObject("properties");
    std::set<std::string> written;
    if (run->has("writes")) {
        Poco::JSON::Array::Ptr writes = run->getArray("writes");
        for (std::size_t i = 0; i < writes->size(); ++i)
            written.insert(writes->getArray(i)->getElement<std::string>(0));
    }
    std::string out;
    for (const auto& member : *expect->getObject("properties")) {
        const std::string want = jsonText(member.second);
        if (member.second.isEmpty()) {
            if (written.count(member.first) != 0)
                out += "  properties." + member.first + ": expected null (never written), got " +
                       jsonText(properties->get(member.first)) + " (written)\n";
            continue;
        }
        const std::string got = properties->has(member.first) ? jsonText(properties->get(member.first)) : "null";
        if (want != got)
            out += "  properties." + member.first + ": expected " + want + ", got " + got +
                   (got == "null" ? " (not in the store)" : "") + "\n";
    }
    return out;
}

std::string featureStateDifferences(const Poco::JSON::Object::Ptr& expect, const Poco::JSON::Object::Ptr& run)
{
    Poco::JSON::Object::Ptr states = run->getObject("featureStates");
    std::string out;
    for (const auto& member : *expect->getObject("featureStates")) {
        const std::string got = states->has(member.first) ? jsonText(states->get(member.first)) : "null";
        const std::string want = jsonText(member.second);
        if (want != got)
            out += "  featureStates." + member.first + ": expected " + want + ", got " + got +
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

Differences differences(const Poco::JSON::Object::Ptr& expect, const Poco::JSON::Object::Ptr& run)
{
    Differences found;
    auto add = [&found](const std::string& key, const std::string& details) {
        if (details.empty())
            return;
        found.keys.push_back(key);
        found.details += details;
    };
    if (expect->has("result"))
        add("result", resultDifference(expect, run));
    for (const char* list : {"log", "writes", "calls"}) {
        if (!expect->has(list))
            continue;
        add(list, run->has(list) ? listDiff(list, expect->getArray(list), run->getArray(list))
                                 : "  " + std::string(list) + ": not recorded\n");
    }
    if (expect->has("properties"))
        add("properties", propertyDifferences(expect, run));
    if (expect->has("featureStates"))
        add("featureStates", featureStateDifferences(expect, run));
    return found;
}

} // namespace actionhost
