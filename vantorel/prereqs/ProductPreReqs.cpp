// CheckForBlockingProductPreReqs: turns the host's published results of the
// product's prerequisites into "HasBlockingPreReq", logging each failed
// prerequisite of type "error" with its description and reason.
#include "frame/Action.h"
#include "frame/Names.h"
#include "frame/Text.h"

namespace {

const std::wstring kProductPrefix = L"$product$prereq$";

int checkForBlockingProductPreReqs(IActionContext& host)
{
    const std::wstring passed = host.GetPropertyText(L"$product$prereqspassed");
    host.Log(2, L"isallpassed = " + passed);
    if (passed == L"true") {
        host.Log(2, L"All product pre-reqs have passed.");
        host.SetProperty(names::kHasBlockingPreReq, L"0");
        return kActionSuccess;
    }
    const std::wstring ids = host.GetPropertyText(L"$product$prereqids");
    host.Log(2, L"prereqids: " + ids);
    std::vector<std::wstring> identifiers;
    splitAny(ids, L";", identifiers);

    bool blocking = false;
    for (const std::wstring& id : identifiers) {
        host.Log(2, L"curprereqid: " + id);
        const std::wstring key = kProductPrefix + id;
        const std::wstring ok = host.GetPropertyText(key + L"$passed");
        host.Log(2, L"ispassed: " + ok);
        if (ok != L"false")
            continue;
        const std::wstring type = host.GetPropertyText(key + L"$type");
        host.Log(2, L"prereqtype: " + type);
        if (type != L"error")
            continue;
        blocking = true;
        const std::wstring description = host.ResolveText(host.GetPropertyText(key + L"$description"), L"");
        const std::wstring reason = host.ResolveText(host.GetPropertyText(key + L"$reason"), L"");
        host.Log(4, L"Blocking pre-req failed: " + description);
        host.Log(4, L"Reason: " + reason);
    }
    host.SetProperty(names::kHasBlockingPreReq, blocking ? L"1" : L"0");
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(CheckForBlockingProductPreReqs)
{
    return runAction(context, checkForBlockingProductPreReqs);
}
