// The registry-export reader over arbitrary file contents, and the writer
// that the runner hands the stand-in: what is read, written and read again
// holds the same bytes and the same query answers.
#include "platform/RegistryFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const platform::RegistryKeys keys =
        platform::parseRegistryExport(std::string(reinterpret_cast<const char*>(data), size));
    const platform::RegistryKeys again = platform::parseRegistryExport(platform::registryExportText(keys));
    for (const auto& key : keys) {
        // A path or name that UTF-8 cannot carry (a lone surrogate) is not compared.
        const auto copy = again.find(key.first);
        for (const auto& value : key.second) {
            if (platform::nativeWideBytes(value.second.data).size() % sizeof(wchar_t) != 0)
                std::abort();
            if (copy == again.end())
                continue;
            const auto same = copy->second.find(value.first);
            if (same == copy->second.end())
                continue;
            const platform::RegistryValue& a = value.second;
            const platform::RegistryValue& b = same->second;
            if (a.type != b.type || a.data != b.data || a.hasReportedSize != b.hasReportedSize ||
                a.reportedSize != b.reportedSize || a.secondQueryFails != b.secondQueryFails)
                std::abort();
        }
    }
    return 0;
}
