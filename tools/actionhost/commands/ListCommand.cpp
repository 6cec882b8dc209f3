// actionhost list [LIBRARY]: the actions a library exports, each with its
// summary and the parameters it reads.
#include "catalogue/Catalogue.h"
#include "commands/Command.h"
#include "run/Runner.h"

#include "hosting/ActionLibrary.h"

#include <Poco/Path.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace actionhost {

namespace {

int list(std::vector<std::string> libraries)
{
    if (libraries.empty())
        libraries = knownLibraries();
    for (const std::string& library : libraries) {
        const std::string path = resolveLibrary(library, Poco::Path::current());
        hosting::ActionLibrary loaded(path);
        // Both libraries export a ChangeFeatureState and a SleepCommand: the
        // summaries are those of the library the largest share of whose
        // actions it exports (the first listed, when shares are equal).
        std::map<std::string, std::size_t> matches;
        for (const KnownAction& action : knownActions())
            matches[action.library] += loaded.find(action.name) != nullptr;
        std::string family = knownLibraries().front();
        for (const std::string& known : knownLibraries()) {
            // matches[known] / count(known) > matches[family] / count(family)
            if (matches[known] * actionCount(family) > matches[family] * actionCount(known))
                family = known;
        }
        std::cout << path << ":\n";
        int found = 0;
        for (const KnownAction& action : knownActions()) {
            if (family != action.library || loaded.find(action.name) == nullptr)
                continue;
            std::printf("  %-32s %s\n", action.name.c_str(), action.summary.c_str());
            std::string parameters;
            for (const KnownParameter& parameter : action.parameters)
                parameters += (parameters.empty() ? "" : ", ") + parameter.shown();
            std::printf("  %-32s parameters: %s\n", "", parameters.empty() ? "none" : parameters.c_str());
            ++found;
        }
        if (found == 0)
            std::cout << "  (none of the known actions)\n";
    }
    return 0;
}

} // namespace

void addListCommand(CLI::App& app, CommandBody& chosen)
{
    auto libraries = std::make_shared<std::vector<std::string> >();
    CLI::App* command = app.add_subcommand(
        "list", "The actions a library exports (both libraries when none is named), each with its summary and "
                "the parameters it reads.");
    command->add_option("LIBRARY", *libraries, "vantorel, cobrinth or a path")->expected(0, 1)->type_name("");
    command->callback([libraries, &chosen] { chosen = [libraries] { return list(*libraries); }; });
}

} // namespace actionhost
