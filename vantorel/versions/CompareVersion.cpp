// CompareVersion: tests whether "VersionNeedToCompare", optionally with an
// allowed suffix, lies between "minVersion" and "maxVersion" (both inclusive,
// each optional) and writes "1" or "0" into the property named by "Property".
#include "frame/Action.h"
#include "names/Names.h"
#include "frame/Text.h"
#include "versions/Version.h"

#include <algorithm>

namespace {

// One of the three dotted texts being walked.
struct Components {
    const wchar_t* name;          // as the messages spell it
    const wchar_t* numbersName;
    const std::wstring& text;     // quoted in the format message
    std::vector<std::wstring> pieces;
};

// Parses and logs the component at position. A position the list lacks
// counts as 0 and is not logged. False after the format message.
bool readComponent(IActionContext& host, const Components& list, std::size_t position, int& value)
{
    value = 0;
    if (position >= list.pieces.size())
        return true;
    if (!tryParseInt(list.pieces[position], value)) {
        host.Log(2, std::wstring(L"CompareVersion: [") + list.name + L"]:" + list.text +
                        L"is not in the correct format: XX.XX");
        return false;
    }
    host.Log(2, std::wstring(L"CompareVersion: ") + list.numbersName + L"[i]: " + list.pieces[position]);
    return true;
}

int compareVersion(IActionContext& host)
{
    host.Log(2, L"Running CompareVersion");
    const std::wstring maxVersion = readParameter(host, names::kMaxVersion);
    const std::wstring minVersion = readParameter(host, names::kMinVersion);
    const std::wstring versionNeedToCompare = readParameter(host, names::kVersionNeedToCompare);
    std::wstring property = readParameter(host, names::kProperty);
    std::wstring allowedSuffix = readParameter(host, names::kAllowedSuffix);
    std::wstring version = versionNeedToCompare;

    if (property.empty()) {
        host.Log(3, L"CompareVersion: [Property] is empty. Result will be write out to [CompareVersionResult].");
        property = names::kCompareVersionResult;
    }

    if (!allowedSuffix.empty()) {
        const std::vector<std::wstring> pieces = splitVersion(versionNeedToCompare, L'-');
        if (pieces.size() > 1) {
            host.Log(2, L"CompareVersion: Found suffix in [VersionNeedToCompare]. Checking to see if the suffix "
                        L"is in the allowed list");
            std::wstring suffix = pieces.back();
            version = pieces.front();
            lowerCase(allowedSuffix);
            lowerCase(suffix);
            if (allowedSuffix.find(suffix) == std::wstring::npos) {
                host.Log(2, L"CompareVersion: The version suffix: " + suffix +
                                L"is missing from the allowedSuffix list: " + allowedSuffix);
                host.SetProperty(property, L"0");
                return kActionSuccess;
            }
        }
    }

    const bool hasMax = !maxVersion.empty();
    const bool hasMin = !minVersion.empty();
    const Components versionList{L"versionToCompare", L"inputVersionnumbers", version, splitVersion(version, L'.')};
    const Components maxList{L"maxVersion", L"maxVersionNumbers", maxVersion, splitVersion(maxVersion, L'.')};
    const Components minList{L"minVersion", L"minVersionNumbers", minVersion, splitVersion(minVersion, L'.')};
    const std::size_t positions =
        std::max(versionList.pieces.size(), std::max(maxList.pieces.size(), minList.pieces.size()));

    bool lowerSettled = !hasMin;
    bool upperSettled = !hasMax;
    bool inRange = true;
    for (std::size_t i = 0; i < positions; ++i) {
        int value = 0;
        int upper = 0;
        int lower = 0;
        if (!readComponent(host, versionList, i, value))
            return kActionFailure;
        if (hasMax && !readComponent(host, maxList, i, upper))
            return kActionFailure;
        if (hasMin && !readComponent(host, minList, i, lower))
            return kActionFailure;

        bool decided = false;
        if (!lowerSettled) {
            if (value < lower) {
                inRange = false;
                break;
            }
            if (value > lower) {
                lowerSettled = true;
                decided = true;
            }
        }
        if (!upperSettled) {
            if (value > upper) {
                inRange = false;
                break;
            }
            if (value < upper) {
                upperSettled = true;
                decided = true;
            }
        }
        // Without bounds the whole version is still walked, so that a
        // malformed component is reported.
        if (decided && lowerSettled && upperSettled)
            break;
    }

    const std::wstring range = L"{" + minVersion + L" - " + maxVersion + L"}";
    if (inRange) {
        host.Log(2, L"CompareVersion: versionToCompare: " + version + L" is in range: " + range);
        host.SetProperty(property, L"1");
    } else {
        host.Log(2, L"CompareVersion: versionToCompare: " + version + L" is NOT in range: " + range);
        host.SetProperty(property, L"0");
    }
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(CompareVersion)
{
    return runAction(context, [](IActionContext& host) {
        return runWithCatchAll(host, 4, L"CompareVersion crashed", [&host]() { return compareVersion(host); });
    });
}
