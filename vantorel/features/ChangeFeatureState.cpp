// ChangeFeatureState: finds the feature with the identifier "FeatureID" by a
// depth-first walk of the host's tree and sets its requested state to the
// code of "State". Every step of the walk is logged at level 0.
#include "frame/Action.h"
#include "frame/FeatureSearch.h"
#include "names/Names.h"
#include "frame/Text.h"

namespace {

// Tried in this order, without regard to case.
const StateName kStateNames[] = {
    {L"Uninstall", kRequestUninstall, L"state is uninstall"},
    {L"Install", kRequestInstall, L"state is install"},
    {L"Repair", kRequestRepair, L"state is repair"},
    {L"NoChange", kRequestNoChange, L"state is nochange"},
};

} // namespace

ACTION_ENTRY(ChangeFeatureState)
{
    context->Log(0, L"start of change features state");
    const int result = runWithCatchAll(*context, 4, L"ChangeFeatureState crashed", [&context]() {
        IFeature::Ptr root = context->GetRootFeature();
        const std::wstring state = readParameter(*context, names::kState);
        const StateName* chosen = nullptr;
        for (const StateName& candidate : kStateNames) {
            if (compareNoCase(state, candidate.name) == 0) {
                chosen = &candidate;
                break;
            }
        }
        if (chosen == nullptr) {
            // A misconfigured call must not look like success: no search, result 1.
            context->Log(4, L"Unknown state");
            return kActionFailure;
        }
        context->Log(0, chosen->line);
        const std::wstring featureId = readParameter(*context, names::kFeatureId);
        context->Log(0, L"featureId is " + featureId);
        ChangeFeatureStateHelper(root, featureId, chosen->code, *context);
        return kActionSuccess;
    });
    if (result == kActionSuccess)
        context->Log(2, L"successfully exiting ChangeFeatureState");
    context.reset();
    return result;
}
