// The scenario loader over arbitrary files: it either loads the scenario or
// reports a ScenarioError, nothing else.
#include "scenario/Scenario.h"

#include <Poco/TemporaryFile.h>

#include <cstdint>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = Poco::TemporaryFile::tempName() + ".json";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        actionhost::loadScenario(path);
    } catch (const actionhost::ScenarioError&) {
    }
    return 0;
}
