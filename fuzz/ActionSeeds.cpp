// Writes the action fuzzer's seeds: each scenario of the given folder as a
// case (see ActionCase.h), without a fault and with one in its middle.
// Usage: fuzz_action_seeds SCENARIO_DIR OUT_DIR
#include "ActionCase.h"
#include "scenario/Scenario.h"

#include <Poco/DirectoryIterator.h>
#include <Poco/File.h>
#include <Poco/FileStream.h>
#include <Poco/Path.h>

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: fuzz_action_seeds SCENARIO_DIR OUT_DIR\n";
        return 2;
    }
    Poco::File(argv[2]).createDirectories();
    int written = 0;
    for (Poco::DirectoryIterator it{std::string(argv[1])}, end; it != end; ++it) {
        if (!it->isFile() || Poco::Path(it->path()).getExtension() != "json")
            continue;
        const actionhost::Scenario scenario = actionhost::loadScenario(it->path());
        fuzzing::ActionCase one;
        one.action = fuzzing::kActionCount;
        for (std::size_t i = 0; i < fuzzing::kActionCount; ++i) {
            if (scenario.library == fuzzing::kActions[i].library && scenario.action == fuzzing::kActions[i].action)
                one.action = i;
        }
        if (one.action == fuzzing::kActionCount)
            continue;  // an action the fuzzer leaves out
        one.model = scenario.model;
        for (long fault : {-1L, 7L}) {
            one.failAt = fault;
            const std::string name = Poco::Path(it->path()).getBaseName() + (fault < 0 ? "" : "-fault");
            Poco::FileOutputStream out(Poco::Path(argv[2]).append(name).toString(), std::ios::binary);
            out << fuzzing::writeCase(one);
            ++written;
        }
    }
    std::cout << written << " seeds\n";
    return 0;
}
