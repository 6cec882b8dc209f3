// The registry-export reader over arbitrary file contents, and the writer
// that the runner hands the stand-in: what is read, written and read again
// holds the same bytes and the same query answers.
#include "platform/RegistryFile.h"

#include <Poco/UnicodeConverter.h>

#include <cstdint>
#include <cstdlib>

namespace {

// Whether a text reaches the file and comes back as it was: a lone
// surrogate, which UTF-8 cannot carry, does not.
bool survives(const std::wstring& text)
{
    std::string utf8;
    Poco::UnicodeConverter::convert(text, utf8);
    std::wstring back;
    Poco::UnicodeConverter::convert(utf8, back);
    return back == text;
}

// Every key path and value name survives, so that no two of them can become
// one in the text written.
bool allSurvive(const platform::RegistryKeys& keys)
{
    for (const auto& key : keys) {
        if (!survives(key.first))
            return false;
        for (const auto& value : key.second)
            if (!survives(value.first))
                return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const platform::RegistryKeys keys =
        platform::parseRegistryExport(std::string(reinterpret_cast<const char*>(data), size));
    for (const auto& key : keys)
        for (const auto& value : key.second)
            if (platform::nativeWideBytes(value.second.data).size() % sizeof(wchar_t) != 0)
                std::abort();
    if (!allSurvive(keys))
        return 0;
    const platform::RegistryKeys again = platform::parseRegistryExport(platform::registryExportText(keys));
    if (again.size() != keys.size())
        std::abort();
    for (const auto& key : keys) {
        const auto copy = again.find(key.first);
        if (copy == again.end() || copy->second.size() != key.second.size())
            std::abort();
        for (const auto& value : key.second) {
            const auto same = copy->second.find(value.first);
            if (same == copy->second.end())
                std::abort();
            const platform::RegistryValue& a = value.second;
            const platform::RegistryValue& b = same->second;
            if (a.type != b.type || a.data != b.data || a.hasReportedSize != b.hasReportedSize ||
                a.reportedSize != b.reportedSize || a.secondQueryFails != b.secondQueryFails)
                std::abort();
        }
    }
    return 0;
}
