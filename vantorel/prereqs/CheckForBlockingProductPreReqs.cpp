// CheckForBlockingProductPreReqs: turns the host's published results of the
// product's prerequisites into "HasBlockingPreReq", logging each failed
// prerequisite of type "error" with its description and reason.
#include "frame/Action.h"
#include "names/Names.h"
#include "prereqs/PreReqScan.h"

namespace {


int checkForBlockingProductPreReqs(IActionContext& host)
{
    if (allPassed(host, names::kProductPreReqsPassed)) {
        host.Log(2, L"All product pre-reqs have passed.");
        host.SetProperty(names::kHasBlockingPreReq, L"0");
        return kActionSuccess;
    }
    bool blocking = false;
    for (const std::wstring& id : prerequisiteIds(host, names::kProductPreReqIds)) {
        const std::wstring key = names::kProductPreReqPrefix + id;
        if (!failedBlocking(host, id, key))
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
