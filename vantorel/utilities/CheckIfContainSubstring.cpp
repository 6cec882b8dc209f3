// CheckIfContainSubstring: writes "true" or "false" into the property named by
// "WriteProperty", as "String" holds "Substring" or not.
#include "frame/Action.h"
#include "names/Names.h"

namespace {

int checkIfContainSubstring(IActionContext& host)
{
    const std::wstring text = readParameter(host, names::kString);
    const std::wstring substring = readParameter(host, names::kSubstring);
    const std::wstring property = readParameter(host, names::kWriteProperty);
    if (text.find(substring) != std::wstring::npos) {
        host.Log(2, L"CheckIfContainSubstring -  \n[String]: " + text + L"\n[Contains Substring]: " + substring + L"\n");
        host.SetProperty(property, L"true");
    } else {
        host.Log(2, L"CheckIfContainSubstring - \n[String]: " + text + L"\n[Does Not Contains Substring]: " +
                        substring + L"\n");
        host.SetProperty(property, L"false");
    }
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(CheckIfContainSubstring)
{
    return runAction(context, checkIfContainSubstring);
}
