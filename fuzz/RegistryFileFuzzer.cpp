// The registry-export reader over arbitrary file contents.
#include "platform/RegistryFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const platform::RegistryKeys keys =
        platform::parseRegistryExport(std::string(reinterpret_cast<const char*>(data), size));
    for (const auto& key : keys)
        for (const auto& value : key.second)
            if (value.second.type == 1 && value.second.data.size() % sizeof(wchar_t) != 0)
                std::abort();
    return 0;
}
