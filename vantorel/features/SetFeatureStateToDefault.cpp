// SetFeatureStateToDefault: requests install for every feature that is on by
// default and no change for all others, root included.
#include "frame/Action.h"

namespace {

void visit(IActionContext& host, const IFeature::Ptr& node)
{
    int defaultState = 0;
    node->GetDefaultState(defaultState);
    const int state = defaultState == 1 ? kRequestInstall : kRequestNoChange;
    host.Log(2, L"[SetFeatureStateToDefaultHelper] " + *node->GetId());
    node->SetRequestedState(state);
    IFeature::ListPtr children = node->GetChildren();
    if (!children)
        return;
    for (const IFeature::Ptr& child : *children)
        visit(host, child);
}

} // namespace

ACTION_ENTRY(SetFeatureStateToDefault)
{
    return runAction(context, [](IActionContext& host) {
        host.Log(2, L"[SetFeatureStateToDefault] set all features state to default");
        const int result = runWithCatchAll(host, 4, L"[SetFeatureStateToDefault] crashed", [&host]() {
            visit(host, host.GetRootFeature());
            return kActionSuccess;
        });
        if (result == kActionSuccess)
            host.Log(2, L"[SetFeatureStateToDefault] success");
        return result;
    });
}
