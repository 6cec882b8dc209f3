// CheckValidMinorRelease: "false" when the installing revision raises the
// installed minor release with a service pack above 0, else "true" (and
// "false" with nothing installed).
#include "frame/Action.h"
#include "frame/Text.h"
#include "versions/PatchLevel.h"

using namespace patchlevel;

namespace {

int checkValidMinorRelease(IActionContext& host)
{
    const Inputs inputs = readInputs(host, true);
    bool valid = false;
    if (!inputs.installed.empty()) {
        const int installedMinor = component(inputs.installed, kMinor);
        const int installingMinor = component(inputs.installingRevision, kMinor);
        const int installingSp = component(inputs.installingRevision, kSp);
        valid = !(installedMinor < installingMinor && installingSp > 0);
    }
    host.SetProperty(inputs.propertyName, boolToText(valid));
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(CheckValidMinorRelease)
{
    return runAction(context, checkValidMinorRelease);
}
