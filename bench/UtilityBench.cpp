// SortAvailableSetupLanguages over lists of 100 to 10,000 languages, against
// reading and writing the list as it is.
#include "Bench.h"

#include <benchmark/benchmark.h>

extern "C" {
int SortAvailableSetupLanguages(ActionContextPtr);
}

namespace bench {

namespace {

hosting::HostModel languageModel(std::size_t languages)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    std::wstring available;
    for (std::size_t i = 0; i < languages; ++i)
        available += (i ? L";" : L"") + std::wstring(L"l") + std::to_wstring(i) + L"_X";
    model.properties[L"$available.ui.langs"] = available;
    model.parameters[L"PrioritizedLanguage"] = L"L7_x;l3_X";
    model.parameters[L"WriteProperty"] = L"OUT";
    return model;
}

int baselineSortAvailableSetupLanguages(ActionContextPtr context)
{
    context->Log(2, L"Sorting Available Languages (highest to lowest): ");
    const std::wstring available = *context->GetParameter(L"$available.ui.langs");
    benchmark::DoNotOptimize(*context->GetParameter(L"PrioritizedLanguage"));
    const std::wstring property = *context->GetParameter(L"WriteProperty");
    context->Log(2, L"Sorted Available Languages: " + available);
    context->SetProperty(property, available);
    return 0;
}

} // namespace

void registerUtilityBenchmarks()
{
    registerPair("SortAvailableSetupLanguages", languageModel, SortAvailableSetupLanguages,
                 baselineSortAvailableSetupLanguages, {100, 1000, 10000});
}

} // namespace bench
