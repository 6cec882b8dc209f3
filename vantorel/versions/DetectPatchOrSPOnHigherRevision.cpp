// DetectPatchOrSPOnHigherRevision: "true" when the installed revision is not
// lower than the installing one (and "false" when they cannot be compared).
#include "frame/Action.h"
#include "frame/Text.h"
#include "versions/PatchLevel.h"
#include "versions/Version.h"

using namespace patchlevel;

namespace {

int detectPatchOrSpOnHigherRevision(IActionContext& host)
{
    const Inputs inputs = readInputs(host, true);
    int order = 0;
    const bool higher = tryParseInt(compareRevisions(inputs.installed, inputs.installingRevision), order) &&
                        order != -1;
    host.SetProperty(inputs.propertyName, boolToText(higher));
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(DetectPatchOrSPOnHigherRevision)
{
    return runAction(context, detectPatchOrSpOnHigherRevision);
}
