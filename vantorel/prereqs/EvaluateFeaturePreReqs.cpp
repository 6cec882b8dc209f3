// EvaluateFeaturePreReqs: looks for a disabled feature in the tree and
// writes "HasDisabledFeature".
#include "frame/Action.h"
#include "names/Names.h"

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

} // namespace

ACTION_ENTRY(EvaluateFeaturePreReqs)
{
    return runAction(context, evaluateFeaturePreReqs);
}
