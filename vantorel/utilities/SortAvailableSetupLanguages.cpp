// SortAvailableSetupLanguages: puts the prioritised languages first, in their
// order, then the remaining available languages. Membership is decided by
// case-insensitive containment in text, not by whole entries: a priority
// entry counts as available when the available text contains it anywhere,
// and an available entry is dropped when the result built so far contains it.
#include "frame/Action.h"
#include "names/Names.h"
#include "frame/Text.h"
#include "utilities/SubstringIndex.h"

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

    // Containment is tested on lowered texts through substring indexes, so
    // that the cost grows with the length of the lists, not with its square.
    // Lower-casing works code point by code point, so the lowered result can
    // grow alongside the result instead of being lowered anew for every entry.
    std::wstring result;
    SubstringIndex loweredResult;
    SubstringIndex loweredAvailable;
    loweredAvailable.append(lowerCaseCopy(available));
    for (const std::wstring& entry : priorityList) {
        const std::wstring lowered = lowerCaseCopy(entry);
        if (loweredAvailable.contains(lowered)) {
            result += entry + L";";
            loweredResult.append(lowered + L";");
        }
    }
    for (const std::wstring& entry : availableList) {
        const std::wstring lowered = lowerCaseCopy(entry);
        if (!loweredResult.contains(lowered)) {
            result += entry + L";";
            loweredResult.append(lowered + L";");
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
