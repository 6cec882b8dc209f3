// DetectOverhangingPatch over arbitrary forward-fit file contents.
#include "FuzzSupport.h"

#include <Poco/TemporaryFile.h>

#include <cstdlib>
#include <fstream>

extern "C" int DetectOverhangingPatch(ActionContextPtr context);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = Poco::TemporaryFile::tempName();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    hosting::HostModel model;
    model.recordTranscript = false;
    model.parameters[L"ForwardFitDataFile"] = hosting::widen(path);
    model.parameters[L"CurrentPatchLevel"] = L"14.0.1.7";
    model.parameters[L"$product.id"] = L"P,14.0.3.0";
    const hosting::RunRecord record = fuzzing::run(DetectOverhangingPatch, model);
    if (record.exception || (record.result != 0 && record.result != 1))
        std::abort();
    return 0;
}
