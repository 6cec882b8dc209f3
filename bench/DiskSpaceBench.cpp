// CheckDiskCost over a million disk costs on four drives, against the bare
// loop over the cost list.
#include "Bench.h"

#include <benchmark/benchmark.h>

extern "C" {
int CheckDiskCost(ActionContextPtr);
}

namespace bench {

namespace {

hosting::HostModel diskModel(std::size_t entries)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    const wchar_t* drives[] = {L"C:\\Program Files\\Suite\\bin", L"D:\\Data", L"E:\\Cache", L"F:\\Logs"};
    model.diskCosts.reserve(entries);
    for (std::size_t i = 0; i < entries; ++i)
        model.diskCosts.push_back({drives[(i / 1000) % 4], static_cast<std::int64_t>(i % 97)});
    model.parameters[L"InstallDir"] = L"C:\\Program Files\\Suite";
    model.parameters[L"PropIsEnoughSpace"] = L"E";
    model.parameters[L"PropRequiredSpace"] = L"R";
    model.parameters[L"PropAvailableSpace"] = L"A";
    return model;
}

// The bare loop over the cost list.
int baselineCheckDiskCost(ActionContextPtr context)
{
    context->Log(2, L"Entering Action CheckDiskCost");
    const std::wstring dir = *context->GetParameter(L"InstallDir");
    for (const wchar_t* name : {L"PropIsEnoughSpace", L"PropRequiredSpace", L"PropAvailableSpace"})
        benchmark::DoNotOptimize(*context->GetParameter(name));
    std::int64_t required = 0;
    for (const DiskCostEntryPtr& entry : *context->GetDiskCostList())
        if (!entry->path->empty() && (*entry->path)[0] == dir[0])
            required += entry->cost;
    context->Log(2, L"CheckDiskCost calculated required Space:" + std::to_wstring(required));
    context->SetProperty(L"R", std::to_wstring(required / 1024));
    benchmark::DoNotOptimize(context->GetPropertyText(L"$os.platform"));
    context->Log(2, L"CheckDiskCost calculated available space:1");
    context->SetProperty(L"A", L"0");
    context->SetProperty(L"E", L"1");
    context->Log(2, L"CheckDiskCost calculated that there is enough disk space");
    return 0;
}

} // namespace

void registerDiskSpaceBenchmarks()
{
    registerPair("CheckDiskCost", diskModel, CheckDiskCost, baselineCheckDiskCost, {1000000});
}

} // namespace bench
