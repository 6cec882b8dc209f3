// EvaluateTargetFeaturePreReqs: judges the published prerequisite results of
// one feature and collects the reasons of those that block.
#include "frame/Action.h"
#include "names/Names.h"
#include "prereqs/PreReqScan.h"

namespace {

int evaluateTargetFeaturePreReqs(IActionContext& host)
{
    const std::wstring featureId = readParameter(host, names::kFeatureId);
    host.Log(2, L"Check pre-requisites for feature " + featureId);
    const std::wstring featureKey = names::kFeaturePrefix + featureId;
    if (allPassed(host, featureKey + names::kPreReqsPassedSuffix)) {
        host.Log(2, L"All feature pre-reqs have passed.");
        host.SetProperty(names::kHasBlockingFeaturePreReq, L"0");
        return kActionSuccess;
    }
    const std::wstring prereqPrefix = names::kFeaturePreReqPrefix + featureId + L"$";
    std::wstring reasons;
    for (const std::wstring& id : prerequisiteIds(host, featureKey + names::kPreReqIdsSuffix)) {
        const std::wstring key = prereqPrefix + id;
        if (!failedBlocking(host, id, key))
            continue;
        const std::wstring reason = host.ResolveText(host.GetPropertyText(key + L"$reason"), L"");
        host.Log(2, L"Reason: " + reason);
        reasons += reason;
        reasons += L"\n\n";
    }
    host.SetProperty(names::kHasBlockingFeaturePreReq, L"1");
    host.SetProperty(names::kMissingFeaturePreReqReason, reasons);
    host.Log(2, L"MissingFeaturePreReqReason: " + reasons);
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(EvaluateTargetFeaturePreReqs)
{
    return runAction(context, evaluateTargetFeaturePreReqs);
}
