// Writing a run's outcome into a scenario's expect block, and nothing else.
#include "test/Update.h"

#include "os/Files.h"
#include "scenario/Json.h"
#include "scenario/StrictJson.h"

#include <stdexcept>

namespace actionhost {

namespace {

// How the file is laid out: its line ending and its indentation unit (the
// leading blanks or tabs of its first indented line).
struct Layout {
    std::string lineEnd = "\n";
    std::string unit = "  ";
};

Layout layoutOf(const std::string& text)
{
    Layout layout;
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd != std::string::npos && firstEnd > 0 && text[firstEnd - 1] == '\r')
        layout.lineEnd = "\r\n";
    for (std::size_t line = text.find('\n'); line != std::string::npos; line = text.find('\n', line + 1)) {
        const std::size_t start = line + 1;
        const std::size_t end = text.find_first_not_of(" \t", start);
        if (end == std::string::npos || end == start || text[end] == '\r' || text[end] == '\n')
            continue;
        layout.unit = text.substr(start, end - start);
        break;
    }
    return layout;
}

// The blanks before a place on its line, where only blanks precede it.
std::string indentBefore(const std::string& text, std::size_t place)
{
    std::size_t start = place;
    while (start > 0 && (text[start - 1] == ' ' || text[start - 1] == '\t'))
        --start;
    if (start > 0 && text[start - 1] != '\n')
        return std::string();
    return text.substr(start, place - start);
}

// A value's text, in the block's layout: lists one entry per line (a log
// line or a write as one [a, b] pair), objects one member per line.
std::string render(const Json& value, const std::string& indent, const Layout& layout)
{
    if (value.is_array() && !value.empty()) {
        std::string out = "[";
        for (std::size_t i = 0; i < value.size(); ++i) {
            const Json& entry = value[i];
            std::string shown;
            if (entry.is_array()) {
                shown = "[";
                for (std::size_t j = 0; j < entry.size(); ++j)
                    shown += (j == 0 ? "" : ", ") + entry[j].dump();
                shown += "]";
            } else {
                shown = entry.dump();
            }
            out += (i == 0 ? "" : ",") + layout.lineEnd + indent + layout.unit + shown;
        }
        return out + layout.lineEnd + indent + "]";
    }
    if (value.is_object() && !value.empty()) {
        std::string out = "{";
        bool first = true;
        for (const auto& member : value.items()) {
            out += (first ? "" : ",") + layout.lineEnd + indent + layout.unit + Json(member.key()).dump() + ": " +
                   render(member.value(), indent + layout.unit, layout);
            first = false;
        }
        return out + layout.lineEnd + indent + "}";
    }
    return value.dump();
}

Json observedResult(const Json& run)
{
    return run["exception"].is_null() ? run["result"] : Json("exception");
}

// The block an author has none of: every key of the outcome.
Json fullBlock(const Json& run)
{
    Json expect = Json::object();
    expect["result"] = observedResult(run);
    expect["log"] = run["log"];
    expect["writes"] = run["writes"];
    Json properties = Json::object();
    for (const auto& write : run["writes"])
        properties[write[0].get<std::string>()] = run["properties"][write[0].get<std::string>()];
    if (!properties.empty())
        expect["properties"] = properties;
    if (!run["featureStates"].empty())
        expect["featureStates"] = run["featureStates"];
    return expect;
}

// The names a block lists, each with what the run left: null where it left
// nothing.
Json named(const Json& listed, const Json& observed)
{
    Json out = Json::object();
    for (const auto& member : listed.items())
        out[member.key()] = observed.contains(member.key()) ? observed[member.key()] : Json();
    return out;
}

// The author's block with each of its keys, in its order, as the run saw
// it, and the result first where it had none.
Json narrowBlock(const Json& old, const Json& run)
{
    Json expect = Json::object();
    if (!old.contains("result"))
        expect["result"] = observedResult(run);
    for (const auto& member : old.items()) {
        const std::string& key = member.key();
        if (key == "result")
            expect[key] = observedResult(run);
        else if (key == "properties" && member.value().is_object())
            expect[key] = named(member.value(), run["properties"]);
        else if (key == "featureStates" && member.value().is_object())
            expect[key] = named(member.value(), run["featureStates"]);
        else if (run.contains(key))
            expect[key] = run[key];
        else
            expect[key] = member.value();
    }
    return expect;
}

} // namespace

std::string updatedScenarioText(const std::string& text, const std::string& runJson)
{
    // The strict reader places every key and object: where the block stands
    // comes with the document.
    const StrictDocument document = readStrictJson(text);
    const Json run = Json::parse(runJson);
    if (document.error || !document.root.is_object())
        throw std::runtime_error("the scenario's text cannot be read: " +
                                 (document.error ? document.error->reason : std::string("no JSON object")));
    const Json& scenario = document.root;
    const Layout layout = layoutOf(text);
    const auto block = document.spans.find("$.expect");
    if (block != document.spans.end()) {
        const std::string indent = indentBefore(text, document.places.at("$.expect"));
        const std::string value = render(narrowBlock(scenario.at("expect"), run), indent, layout);
        return text.substr(0, block->second.begin) + value + text.substr(block->second.end);
    }
    // A new last member, after the last one there is (or alone in "{}").
    const DocumentSpan& root = document.spans.at("$");
    std::size_t at = root.end - 1;
    while (at > 0 && std::string(" \t\r\n").find(text[at - 1]) != std::string::npos)
        --at;
    const bool empty = text[at - 1] == '{';
    // The indentation of the first member, or one unit in "{}" over lines.
    const std::string indent =
        !empty ? indentBefore(text, text.find_first_not_of(" \t\r\n", root.begin + 1))
               : (text.find('\n') != std::string::npos ? layout.unit : std::string());
    std::string member = (empty ? "" : ",") + layout.lineEnd + indent + "\"expect\": " +
                         render(fullBlock(run), indent, layout);
    if (empty)
        member += layout.lineEnd;
    return text.substr(0, at) + member + text.substr(at);
}

void writeExpectation(const std::string& file, const std::string& runJson)
{
    replaceFile(file, updatedScenarioText(readFile(file), runJson));
}

} // namespace actionhost
