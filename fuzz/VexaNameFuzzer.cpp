// SetVexaName over arbitrary host names.
#include "FuzzSupport.h"

#include <cstdlib>

extern "C" int SetVexaName(ActionContextPtr context);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    model.parameters[L"MachineName"] = fuzzing::texts(data, size, 1)[0];
    model.parameters[L"PropertyId"] = L"NAME";
    const hosting::RunRecord record = fuzzing::run(SetVexaName, model);
    if (record.exception || record.writes.size() != 1)
        std::abort();
    const std::wstring& name = record.writes[0].second;
    // The result begins with an ASCII letter and holds no hyphen or dot.
    const wchar_t first = name.empty() ? L'\0' : name[0];
    if (!((first >= L'a' && first <= L'z') || (first >= L'A' && first <= L'Z')))
        std::abort();
    if (name.find_first_of(L"-.") != std::wstring::npos)
        std::abort();
    return 0;
}
