// The patch-level reading: the installed revision chosen from the product
// DU's and the family DU's, revisions compared, and the patch-level actions'
// common first steps.
#include "versions/PatchLevel.h"

#include "frame/Action.h"
#include "names/Names.h"
#include "versions/Version.h"

using namespace patchlevel;

namespace {

std::wstring getInstalledRevision(const std::wstring& duId, IActionContext& host)
{
    return readParameter(host, names::kDuPrefix + duId + names::kInstalledRevisionSuffix);
}

std::wstring compareComponents(const std::wstring& installed, const std::wstring& installing)
{
    const int a = parseInt(installed);
    const int b = parseInt(installing);
    return a == b ? L"0" : (a < b ? L"-1" : L"1");
}

} // namespace

namespace patchlevel {

int component(const std::wstring& revision, std::size_t position)
{
    return parseInt(getRevisionComponent(revision, position));
}

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

} // namespace patchlevel

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
