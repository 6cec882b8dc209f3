// SortAvailableSetupLanguages over arbitrary language lists.
#include "FuzzSupport.h"

#include "frame/Text.h"
#include "utilities/SubstringIndex.h"

#include <cstdlib>

extern "C" int SortAvailableSetupLanguages(ActionContextPtr context);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::wstring> parts = fuzzing::texts(data, size, 2);
    hosting::HostModel model;
    model.recordTranscript = false;
    model.properties[L"$available.ui.langs"] = parts[0];
    model.parameters[L"PrioritizedLanguage"] = parts[1];
    model.parameters[L"WriteProperty"] = L"OUT";
    const hosting::RunRecord record = fuzzing::run(SortAvailableSetupLanguages, model);
    if (record.exception || record.result != 0 || record.writes.size() != 1)
        std::abort();
    const std::wstring& sorted = record.writes[0].second;
    if (!parts[1].empty() && !sorted.empty() && sorted.back() == L';')
        std::abort();

    // The substring index answers as a plain search does.
    SubstringIndex index;
    std::wstring text;
    std::vector<std::wstring> pieces;
    splitAny(parts[0], L";", pieces);
    for (const std::wstring& piece : pieces) {
        index.append(piece + L";");
        text += piece + L";";
        for (const std::wstring& probe : {piece, parts[1], piece.substr(piece.size() / 2)})
            if (index.contains(probe) != (text.find(probe) != std::wstring::npos))
                std::abort();
    }
    return 0;
}
