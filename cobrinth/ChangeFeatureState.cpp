// The setup-core ChangeFeatureState: sets the requested state of the feature
// "FeatureId" found in the tree of the host's product context, through the
// earlier feature layout. "State" is compared exactly and has no "Repair".
#include "frame/Action.h"
#include "frame/FeatureSearch.h"
#include "names/Names.h"

#include <stdexcept>

namespace {

const StateName kStateNames[] = {
    {L"Uninstall", kRequestUninstall, L"state is uninstall"},
    {L"Install", kRequestInstall, L"state is install"},
    {L"NoChange", kRequestNoChange, L"state is nochange"},
};

int changeFeatureState(IActionContext& host)
{
    host.Log(0, L"start of change features state");
    setupcore::IProductContext* product = dynamic_cast<setupcore::IProductContext*>(&host);
    if (product == nullptr)
        throw std::runtime_error("the host's context is not a product context");
    setupcore::IFeature::Ptr root = product->GetRootFeature();
    const std::wstring state = readParameter(host, names::kState);
    const StateName* chosen = nullptr;
    for (const StateName& candidate : kStateNames) {
        if (state == candidate.name) {
            chosen = &candidate;
            break;
        }
    }
    if (chosen == nullptr) {
        // A misconfigured call must not look like success: no search, result 1.
        host.Log(4, L"state is not uninstall nor install");
        return kActionFailure;
    }
    host.Log(0, chosen->line);
    const std::wstring featureId = readParameter(host, names::kCoreFeatureId);
    host.Log(0, L"featureId is " + featureId);
    ChangeFeatureStateHelper(root, featureId, chosen->code, host);
    host.Log(2, L"successfully exiting ChangeFeatureState");
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(ChangeFeatureState)
{
    return runAction(context, [](IActionContext& host) {
        return runWithCatchAll(host, 4, L"ChangeFeatureState crashed", [&host]() { return changeFeatureState(host); });
    });
}
