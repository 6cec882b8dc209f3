// DetectPatchOnLowerSP: "true" when the installed minor release, or at the
// same minor release the installed SP, is lower than the installing one.
#include "frame/Action.h"
#include "frame/Text.h"
#include "versions/PatchLevel.h"

using namespace patchlevel;

namespace {

int detectPatchOnLowerSp(IActionContext& host)
{
    const Inputs inputs = readInputs(host, true);
    const int installedMinor = component(inputs.installed, kMinor);
    const int installingMinor = component(inputs.installingRevision, kMinor);
    const int installedSp = component(inputs.installed, kSp);
    const int installingSp = component(inputs.installingRevision, kSp);
    const bool lower = installedMinor != installingMinor ? installedMinor < installingMinor
                                                         : installedSp < installingSp;
    host.SetProperty(inputs.propertyName, boolToText(lower));
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(DetectPatchOnLowerSP)
{
    return runAction(context, detectPatchOnLowerSp);
}
