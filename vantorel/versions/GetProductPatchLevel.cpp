// GetProductPatchLevel: writes the installed revision, chosen from the product
// DU and the product-family DU, into the property named by "PropertyName".
#include "frame/Action.h"
#include "frame/Text.h"
#include "versions/PatchLevel.h"

using namespace patchlevel;

namespace {

int getProductPatchLevel(IActionContext& host)
{
    const Inputs inputs = readInputs(host, false);
    host.SetProperty(inputs.propertyName, inputs.installed);
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(GetProductPatchLevel)
{
    return runAction(context, getProductPatchLevel);
}
