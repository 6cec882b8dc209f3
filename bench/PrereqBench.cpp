// The prerequisite actions: the feature tree's enabled states, and 10,000
// product and feature prerequisites, against the same host calls alone.
#include "Bench.h"

#include <benchmark/benchmark.h>

extern "C" {
int EvaluateFeaturePreReqs(ActionContextPtr);
int CheckForBlockingProductPreReqs(ActionContextPtr);
int EvaluateTargetFeaturePreReqs(ActionContextPtr);
}

namespace bench {

namespace {

bool walkEnabled(IActionContext& host, const IFeature::Ptr& node)
{
    host.Log(2, L"Check enabled state of: " + *node->GetId());
    benchmark::DoNotOptimize(node->IsEnabled());
    host.Log(2, L"isenabled: true");
    for (const IFeature::Ptr& child : *node->GetChildren())
        walkEnabled(host, child);
    return false;
}

int baselineEvaluateFeaturePreReqs(ActionContextPtr context)
{
    walkEnabled(*context, context->GetRootFeature());
    context->SetProperty(L"HasDisabledFeature", L"0");
    return 0;
}

hosting::HostModel productPreReqModel(std::size_t ids)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    std::wstring list;
    for (std::size_t i = 0; i < ids; ++i) {
        const std::wstring id = L"prereq" + std::to_wstring(i);
        list += id + L";";
        model.properties[L"$product$prereq$" + id + L"$passed"] = i % 2 ? L"true" : L"false";
        model.properties[L"$product$prereq$" + id + L"$type"] = i % 4 ? L"warning" : L"error";
        model.properties[L"$product$prereq$" + id + L"$description"] = L"description of " + id;
        model.properties[L"$product$prereq$" + id + L"$reason"] = L"reason of " + id;
    }
    model.properties[L"$product$prereqids"] = list;
    return model;
}

hosting::HostModel featurePreReqModel(std::size_t ids)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    model.parameters[L"FeatureID"] = L"F";
    std::wstring list;
    for (std::size_t i = 0; i < ids; ++i) {
        const std::wstring id = L"prereq" + std::to_wstring(i);
        list += id + L";";
        const std::wstring key = L"$feature$prereq$F$" + id;
        model.properties[key + L"$passed"] = i % 2 ? L"true" : L"false";
        model.properties[key + L"$type"] = i % 4 ? L"warning" : L"error";
        model.properties[key + L"$reason"] = L"reason of " + id;
    }
    model.properties[L"$feature$F$prereqids"] = list;
    return model;
}

int baselineCheckForBlockingProductPreReqs(ActionContextPtr context)
{
    const std::wstring passed = context->GetPropertyText(L"$product$prereqspassed");
    context->Log(2, L"isallpassed = " + passed);
    const std::wstring ids = context->GetPropertyText(L"$product$prereqids");
    context->Log(2, L"prereqids: " + ids);
    std::wstring::size_type start = 0;
    for (std::wstring::size_type end; (end = ids.find(L';', start)) != std::wstring::npos; start = end + 1) {
        const std::wstring id = ids.substr(start, end - start);
        const std::wstring key = L"$product$prereq$" + id;
        context->Log(2, L"curprereqid: " + id);
        const std::wstring ok = context->GetPropertyText(key + L"$passed");
        context->Log(2, L"ispassed: " + ok);
        if (ok != L"false")
            continue;
        const std::wstring type = context->GetPropertyText(key + L"$type");
        context->Log(2, L"prereqtype: " + type);
        if (type != L"error")
            continue;
        const std::wstring description = context->ResolveText(context->GetPropertyText(key + L"$description"), L"");
        const std::wstring reason = context->ResolveText(context->GetPropertyText(key + L"$reason"), L"");
        context->Log(4, L"Blocking pre-req failed: " + description);
        context->Log(4, L"Reason: " + reason);
    }
    context->SetProperty(L"HasBlockingPreReq", L"1");
    return 0;
}

int baselineEvaluateTargetFeaturePreReqs(ActionContextPtr context)
{
    const std::wstring fid = *context->GetParameter(L"FeatureID");
    context->Log(2, L"Check pre-requisites for feature " + fid);
    const std::wstring passed = context->GetPropertyText(L"$feature$" + fid + L"$prereqspassed");
    context->Log(2, L"isallpassed = " + passed);
    const std::wstring ids = context->GetPropertyText(L"$feature$" + fid + L"$prereqids");
    context->Log(2, L"prereqids: " + ids);
    std::wstring reasons;
    std::wstring::size_type start = 0;
    for (std::wstring::size_type end; (end = ids.find(L';', start)) != std::wstring::npos; start = end + 1) {
        const std::wstring id = ids.substr(start, end - start);
        const std::wstring key = L"$feature$prereq$" + fid + L"$" + id;
        context->Log(2, L"curprereqid: " + id);
        const std::wstring ok = context->GetPropertyText(key + L"$passed");
        context->Log(2, L"ispassed: " + ok);
        if (ok != L"false")
            continue;
        const std::wstring type = context->GetPropertyText(key + L"$type");
        context->Log(2, L"prereqtype: " + type);
        if (type != L"error")
            continue;
        const std::wstring reason = context->ResolveText(context->GetPropertyText(key + L"$reason"), L"");
        context->Log(2, L"Reason: " + reason);
        reasons += reason + L"\n\n";
    }
    context->SetProperty(L"HasBlockingFeaturePreReq", L"1");
    context->SetProperty(L"MissingFeaturePreReqReason", reasons);
    context->Log(2, L"MissingFeaturePreReqReason: " + reasons);
    return 0;
}

} // namespace

void registerPrereqBenchmarks()
{
    registerPair("EvaluateFeaturePreReqs", treeModel, EvaluateFeaturePreReqs, baselineEvaluateFeaturePreReqs,
                 {100000});
    registerPair("CheckForBlockingProductPreReqs", productPreReqModel, CheckForBlockingProductPreReqs,
                 baselineCheckForBlockingProductPreReqs, {10000});
    registerPair("EvaluateTargetFeaturePreReqs", featurePreReqModel, EvaluateTargetFeaturePreReqs,
                 baselineEvaluateTargetFeaturePreReqs, {10000});
}

} // namespace bench
