// The feature-level prerequisite actions: EvaluateFeaturePreReqs finds a
// disabled feature in the tree; EvaluateTargetFeaturePreReqs judges the
// published prerequisite results of one feature and collects their reasons.
#include "frame/Action.h"
#include "frame/Names.h"
#include "prereqs/PreReqScan.h"

namespace {

// Depth-first in pre-order; stops at the first disabled node, whose children
// are not visited.
bool FindDisabledFeature(IActionContext& host, const IFeature::Ptr& node)
{
    host.Log(2, L"Check enabled state of: " + *node->GetId());
    if (!node->IsEnabled()) {
        host.Log(2, L"isenabled: false");
        return true;
    }
    host.Log(2, L"isenabled: true");
    IFeature::ListPtr children = node->GetChildren();
    if (!children)
        return false;
    for (const IFeature::Ptr& child : *children) {
        if (FindDisabledFeature(host, child))
            return true;
    }
    return false;
}

int evaluateFeaturePreReqs(IActionContext& host)
{
    const bool found = FindDisabledFeature(host, host.GetRootFeature());
    host.SetProperty(names::kHasDisabledFeature, found ? L"1" : L"0");
    return kActionSuccess;
}

int evaluateTargetFeaturePreReqs(IActionContext& host)
{
    const std::wstring featureId = readParameter(host, names::kFeatureId);
    host.Log(2, L"Check pre-requisites for feature " + featureId);
    const std::wstring featureKey = L"$feature$" + featureId;
    if (allPassed(host, featureKey + L"$prereqspassed")) {
        host.Log(2, L"All feature pre-reqs have passed.");
        host.SetProperty(names::kHasBlockingFeaturePreReq, L"0");
        return kActionSuccess;
    }
    const std::wstring prereqPrefix = L"$feature$prereq$" + featureId + L"$";
    std::wstring reasons;
    for (const std::wstring& id : prerequisiteIds(host, featureKey + L"$prereqids")) {
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

ACTION_ENTRY(EvaluateFeaturePreReqs)
{
    return runAction(context, evaluateFeaturePreReqs);
}

ACTION_ENTRY(EvaluateTargetFeaturePreReqs)
{
    return runAction(context, evaluateTargetFeaturePreReqs);
}
