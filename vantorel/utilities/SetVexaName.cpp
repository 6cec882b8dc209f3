// SetVexaName: turns the machine name into a valid Vexa name (from its first
// letter on, "-" and "." replaced) and writes it into the property named by
// "PropertyId".
#include "frame/Action.h"
#include "names/Names.h"

namespace {

const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
const wchar_t kReplaced[] = L"-.";
const wchar_t kReplacement = L'_';
const wchar_t kDefaultName[] = L"VexaName";

int setVexaName(IActionContext& host)
{
    std::wstring name = readParameter(host, names::kMachineName);
    const std::wstring property = readParameter(host, names::kPropertyId);
    const std::wstring::size_type firstLetter = name.find_first_of(kLetters);
    if (firstLetter == std::wstring::npos) {
        name = kDefaultName;
        host.Log(2, std::wstring(L"host name cannot be converted to valid Vexa name. Using default ") + kDefaultName);
    } else {
        name.erase(0, firstLetter);
        for (std::wstring::size_type pos = name.find_first_of(kReplaced); pos != std::wstring::npos;
             pos = name.find_first_of(kReplaced, pos + 1))
            name[pos] = kReplacement;
    }
    host.SetProperty(property, name);
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(SetVexaName)
{
    return runAction(context, setVexaName);
}
