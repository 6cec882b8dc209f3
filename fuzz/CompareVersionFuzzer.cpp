// CompareVersion over arbitrary bounds, version and suffix list.
#include "FuzzSupport.h"

#include <cstdlib>

extern "C" int CompareVersion(ActionContextPtr context);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::wstring> parts = fuzzing::texts(data, size, 4);
    hosting::HostModel model;
    model.recordTranscript = false;
    model.parameters[L"minVersion"] = parts[0];
    model.parameters[L"maxVersion"] = parts[1];
    model.parameters[L"VersionNeedToCompare"] = parts[2];
    model.parameters[L"AllowedSuffix"] = parts[3];
    model.parameters[L"Property"] = L"R";
    hosting::SimulatedHost host(model);
    host.run(CompareVersion);
    const hosting::RunRecord& record = host.record();
    // The catch-all means nothing leaves the action; a written result is "0" or "1".
    if (record.exception)
        std::abort();
    for (const auto& write : record.writes)
        if (write.second != L"0" && write.second != L"1")
            std::abort();
    return 0;
}
