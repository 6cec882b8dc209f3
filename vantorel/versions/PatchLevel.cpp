// The patch-level actions: GetProductPatchLevel, CheckValidMinorRelease,
// DetectPatchOnLowerSP and DetectPatchOrSPOnHigherRevision. Each chooses the
// installed revision from the product DU and the product-family DU, compares
// it with the installing revision and writes its answer; none logs. A
// component that must be a number and is not raises POCO's syntax exception
// out of the action, before the property is written.
#include "frame/Action.h"
#include "frame/Names.h"
#include "frame/Text.h"
#include "versions/Version.h"

namespace {

const std::size_t kMajor = 0;
const std::size_t kMinor = 1;
const std::size_t kSp = 2;
const std::size_t kPatch = 3;

std::wstring getInstalledRevision(const std::wstring& duId, IActionContext& host)
{
    return readParameter(host, L"$du$" + duId + L"$installedrevision");
}

int component(const std::wstring& revision, std::size_t position)
{
    return parseInt(getRevisionComponent(revision, position));
}

std::wstring compareComponents(const std::wstring& installed, const std::wstring& installing)
{
    const int a = parseInt(installed);
    const int b = parseInt(installing);
    return a == b ? L"0" : (a < b ? L"-1" : L"1");
}

struct Inputs {
    std::wstring installingRevision;
    std::wstring propertyName;
    std::wstring installed;
};

} // namespace

std::wstring selectInstalledRevision(const std::wstring& family, const std::wstring& product)
{
    if (product.empty())
        return family;
    if (getRevisionComponent(family, kSp).empty())
        return product;
    const int familySp = component(family, kSp);
    const int productSp = component(product, kSp);
    const int productMinor = component(product, kMinor);
    if (productMinor > 0)
        return family;
    if (productSp == 0)
        return product;
    if (productSp == 1)
        return familySp < 1 ? product : family;
    return family;
}

std::wstring compareRevisions(const std::wstring& installed, const std::wstring& installing)
{
    std::wstring a[4], b[4];
    for (std::size_t i = 0; i < 4; ++i) {
        a[i] = getRevisionComponent(installed, i);
        b[i] = getRevisionComponent(installing, i);
    }
    std::wstring result;
    if (!a[kMajor].empty() && !b[kMajor].empty())
        result = compareComponents(a[kMajor], b[kMajor]);
    for (std::size_t i = kMinor; i <= kPatch && result == L"0"; ++i) {
        if (a[i].empty() || b[i].empty())
            break;
        result = compareComponents(a[i], b[i]);
    }
    return result;
}

namespace {

// The common first steps: parameters in order, then the two installed revisions.
Inputs readInputs(IActionContext& host, bool withInstallingRevision)
{
    Inputs inputs;
    const std::wstring productDu = readParameter(host, names::kProductDuId);
    const std::wstring familyDu = readParameter(host, names::kProductFamilyDuId);
    if (withInstallingRevision)
        inputs.installingRevision = readParameter(host, names::kInstallingRevision);
    inputs.propertyName = readParameter(host, names::kPropertyName);
    const std::wstring productRevision = getInstalledRevision(productDu, host);
    const std::wstring familyRevision = getInstalledRevision(familyDu, host);
    inputs.installed = selectInstalledRevision(familyRevision, productRevision);
    return inputs;
}

int getProductPatchLevel(IActionContext& host)
{
    const Inputs inputs = readInputs(host, false);
    host.SetProperty(inputs.propertyName, inputs.installed);
    return kActionSuccess;
}

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

ACTION_ENTRY(GetProductPatchLevel)
{
    return runAction(context, getProductPatchLevel);
}

ACTION_ENTRY(CheckValidMinorRelease)
{
    return runAction(context, checkValidMinorRelease);
}

ACTION_ENTRY(DetectPatchOnLowerSP)
{
    return runAction(context, detectPatchOnLowerSp);
}

ACTION_ENTRY(DetectPatchOrSPOnHigherRevision)
{
    return runAction(context, detectPatchOrSpOnHigherRevision);
}
