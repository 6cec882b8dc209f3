// The prerequisite scan the product-level and feature-level actions share.
#include "prereqs/PreReqScan.h"

#include "frame/Text.h"

bool allPassed(IActionContext& host, const std::wstring& passedKey)
{
    const std::wstring passed = host.GetPropertyText(passedKey);
    host.Log(2, L"isallpassed = " + passed);
    return passed == L"true";
}

std::vector<std::wstring> prerequisiteIds(IActionContext& host, const std::wstring& idsKey)
{
    const std::wstring ids = host.GetPropertyText(idsKey);
    host.Log(2, L"prereqids: " + ids);
    std::vector<std::wstring> identifiers;
    splitAny(ids, L";", identifiers);
    return identifiers;
}

bool failedBlocking(IActionContext& host, const std::wstring& id, const std::wstring& key)
{
    host.Log(2, L"curprereqid: " + id);
    const std::wstring ok = host.GetPropertyText(key + L"$passed");
    host.Log(2, L"ispassed: " + ok);
    if (ok != L"false")
        return false;
    const std::wstring type = host.GetPropertyText(key + L"$type");
    host.Log(2, L"prereqtype: " + type);
    return type == L"error";
}
