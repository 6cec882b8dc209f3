// SortAvailableSetupLanguages: puts the prioritised languages first, in their
// order, then the remaining available languages. Membership is decided by
// case-insensitive containment in text, not by whole entries: a priority
// entry counts as available when the available text contains it anywhere,
// and an available entry is dropped when the result built so far contains it.
#include "frame/Action.h"
#include "frame/Names.h"
#include "frame/Text.h"

namespace {

int sortAvailableSetupLanguages(IActionContext& host)
{
    host.Log(2, L"Sorting Available Languages (highest to lowest): ");
    const std::wstring available = readParameter(host, names::kAvailableUiLangs);
    const std::wstring prioritized = readParameter(host, names::kPrioritizedLanguage);
    const std::wstring property = readParameter(host, names::kWriteProperty);
    if (prioritized.empty()) {
        host.Log(2, L"No Prioritized Language Specified.");
        host.SetProperty(property, available);
        return kActionSuccess;
    }
    std::vector<std::wstring> priorityList;
    std::vector<std::wstring> availableList;
    splitAny(prioritized, L";", priorityList);
    splitAny(available, L";", availableList);

    std::wstring result;
    // Lower-casing works code point by code point, so the lowered result can
    // grow alongside the result instead of being lowered anew for every entry.
    std::wstring loweredResult;
    const std::wstring loweredAvailable = lowerCaseCopy(available);
    for (const std::wstring& entry : priorityList) {
        const std::wstring lowered = lowerCaseCopy(entry);
        if (loweredAvailable.find(lowered) != std::wstring::npos) {
            result += entry + L";";
            loweredResult += lowered + L";";
        }
    }
    for (const std::wstring& entry : availableList) {
        const std::wstring lowered = lowerCaseCopy(entry);
        if (loweredResult.find(lowered) == std::wstring::npos) {
            result += entry + L";";
            loweredResult += lowered + L";";
        }
    }
    if (!result.empty())
        result.erase(result.size() - 1);
    host.Log(2, L"Sorted Available Languages: " + result);
    host.SetProperty(property, result);
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(SortAvailableSetupLanguages)
{
    return runAction(context, sortAvailableSetupLanguages);
}
