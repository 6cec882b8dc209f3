// Writing a run's outcome into a scenario's expect block.
#include "test/Update.h"

#include "os/Files.h"

#include <Poco/FileStream.h>

#include <nlohmann/json.hpp>

#include <stdexcept>

namespace actionhost {

namespace {

// The indentation of the file's first indented line; 2 when it has none.
int indentation(const std::string& text)
{
    const std::size_t line = text.find('\n');
    if (line == std::string::npos)
        return 2;
    std::size_t spaces = 0;
    while (line + 1 + spaces < text.size() && text[line + 1 + spaces] == ' ')
        ++spaces;
    return spaces > 0 && spaces <= 8 ? static_cast<int>(spaces) : 2;
}

} // namespace

void writeExpectation(const std::string& file, const std::string& runJson)
{
    const std::string text = readFile(file);
    nlohmann::ordered_json scenario = nlohmann::ordered_json::parse(text);
    const nlohmann::ordered_json run = nlohmann::ordered_json::parse(runJson);
    const bool hadCalls = scenario.contains("expect") && scenario["expect"].is_object() &&
                          scenario["expect"].contains("calls");

    nlohmann::ordered_json expect = nlohmann::ordered_json::object();
    expect["result"] = run["exception"].is_null() ? run["result"] : nlohmann::ordered_json("exception");
    expect["log"] = run["log"];
    expect["writes"] = run["writes"];
    nlohmann::ordered_json properties = nlohmann::ordered_json::object();
    for (const auto& write : run["writes"])
        properties[write[0].get<std::string>()] = run["properties"][write[0].get<std::string>()];
    if (!properties.empty())
        expect["properties"] = properties;
    if (!run["featureStates"].empty())
        expect["featureStates"] = run["featureStates"];
    if (hadCalls && run.contains("calls"))
        expect["calls"] = run["calls"];
    scenario["expect"] = expect;

    const std::string updated = scenario.dump(indentation(text)) + "\n";
    Poco::FileOutputStream out(file, std::ios::binary | std::ios::trunc);
    out << updated;
    out.close();
    if (!out.good())
        throw std::runtime_error("cannot write " + file);
}

} // namespace actionhost
