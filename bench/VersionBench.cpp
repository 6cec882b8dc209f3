// DetectOverhangingPatch over a forward-fit file of a million lines, against
// a plain loop that reads and logs the same lines.
#include "Bench.h"

#include "frame/Text.h"

#include <Poco/FileStream.h>
#include <Poco/TemporaryFile.h>

#include <fstream>
#include <map>

#include <benchmark/benchmark.h>

extern "C" {
int DetectOverhangingPatch(ActionContextPtr);
}

namespace bench {

namespace {

const std::string& forwardFitFile(std::size_t lines)
{
    static std::map<std::size_t, std::string> files;
    std::string& path = files[lines];
    if (path.empty()) {
        path = Poco::TemporaryFile::tempName() + ".txt";
        Poco::TemporaryFile::registerForDeletion(path);
        std::ofstream out(path, std::ios::binary);
        for (std::size_t i = 1; i < lines; ++i)
            out << "13." << i % 10 << "." << i % 7 << ": 13.0.0.12 13.0.1.9 13.0.2.3\r\n";
        out << "14.0.3: 14.0.0.12 14.0.1.5 14.0.2.3\n";
    }
    return path;
}

hosting::HostModel forwardFitModel(std::size_t lines)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    model.parameters[L"ForwardFitDataFile"] = hosting::widen(forwardFitFile(lines));
    model.parameters[L"CurrentPatchLevel"] = L"14.0.1.7";
    model.parameters[L"$product.id"] = L"P,14.0.3.0";
    return model;
}

// A plain line-reading loop over the same file with the same per-line
// conversion and the same log line per line.
int baselineDetectOverhangingPatch(ActionContextPtr context)
{
    const std::wstring file = *context->GetParameter(L"ForwardFitDataFile");
    benchmark::DoNotOptimize(*context->GetParameter(L"CurrentPatchLevel"));
    benchmark::DoNotOptimize(*context->GetParameter(L"$product.id"));
    context->SetProperty(L"OverhangingPatch", L"false");
    context->Log(2, L"Current patch level: 14.0.1.7");
    context->Log(2, L"SP level of installing product: 14.0.3");
    Poco::FileInputStream stream(utf8FromWide(file));
    std::string raw;
    while (std::getline(stream, raw)) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        context->Log(2, L"Processing line: " + wideFromUtf8(raw));
    }
    context->Log(2, L"Using line for check.");
    context->Log(2, L"Checking against forward fit level: 14.0.1.5");
    context->SetProperty(L"OverhangingPatch", L"true");
    return 0;
}

} // namespace

void registerVersionBenchmarks()
{
    registerPair("DetectOverhangingPatch", forwardFitModel, DetectOverhangingPatch, baselineDetectOverhangingPatch,
                 {1000000});
}

} // namespace bench
