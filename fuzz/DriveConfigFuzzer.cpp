// The drive stand-in's configuration text: any text parses, and no drive
// gets free space from an entry that does not say so in digits.
#include "platform/DriveConfig.h"
#include "platform/Platform.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string config(reinterpret_cast<const char*>(data), size);
    const platform::DriveConfig parsed = platform::parseDriveConfig(config);
    for (const auto& drive : parsed.drives) {
        if (drive.second.type > platform::kDriveRamDisk)
            std::abort();
        // Free space only from an entry that gives its bytes after "#".
        if (drive.second.fixedBytes && config.find(std::string(1, drive.first) + ":=") == std::string::npos &&
            config.find(std::string(1, static_cast<char>(drive.first - 'A' + 'a')) + ":=") == std::string::npos)
            std::abort();
        if (drive.second.fixedBytes && config.find('#') == std::string::npos)
            std::abort();
    }
    if (parsed.problems.size() > config.size())
        std::abort();
    return 0;
}
