// actionhost call LIBRARY ACTION: runs one action without a scenario file,
// with the parameters and properties given on the command line.
#include "commands/Command.h"
#include "commands/Options.h"

#include "hosting/World.h"

#include <map>
#include <memory>
#include <vector>

namespace actionhost {

namespace {

void addPair(std::map<std::wstring, std::wstring>& into, const std::string& option, const std::string& pair)
{
    const std::string::size_type equals = pair.find('=');
    if (equals == std::string::npos || equals == 0)
        throw UsageError(option + " takes NAME=VALUE, not \"" + pair + "\"");
    into[hosting::widen(pair.substr(0, equals))] = hosting::widen(pair.substr(equals + 1));
}

} // namespace

void addCallCommand(CLI::App& app, CommandBody& chosen)
{
    struct Options {
        std::string library;
        std::string action;
        std::vector<std::string> parameterPairs;
        std::vector<std::string> propertyPairs;
        ShowOptions show;
    };
    auto options = std::make_shared<Options>();
    CLI::App* call = app.add_subcommand("call", "Run one action without a scenario file.");
    call->add_option("LIBRARY", options->library, "vantorel, cobrinth or a library's path")->required()->type_name("");
    call->add_option("ACTION", options->action, "the action to call")->required()->type_name("");
    call->add_option("--param", options->parameterPairs, "a parameter, NAME=VALUE")->take_all();
    call->add_option("--property", options->propertyPairs, "a property before the call, NAME=VALUE")->take_all();
    addOutputOptions(call, options->show);
    call->callback([options, &chosen] {
        chosen = [options] {
            std::map<std::wstring, std::wstring> parameters;
            std::map<std::wstring, std::wstring> properties;
            for (const std::string& pair : options->parameterPairs)
                addPair(parameters, "--param", pair);
            for (const std::string& pair : options->propertyPairs)
                addPair(properties, "--property", pair);
            return show(adHocScenario(options->library, options->action, parameters, properties), options->show);
        };
    });
}

} // namespace actionhost
