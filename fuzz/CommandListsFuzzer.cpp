// splitAndTrim and readInteger over arbitrary lists.
#include "FuzzSupport.h"

#include "utilities/CommandRunner.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::wstring> parts = fuzzing::texts(data, size, 1);
    std::wstring list = parts[0];
    const std::size_t separators = [&] {
        std::size_t count = 0;
        for (wchar_t c : list)
            count += c == L';';
        return count;
    }();
    std::vector<std::wstring> entries;
    splitAndTrim(list, L";", entries);
    // One entry per separator, plus the remainder when there is one.
    if (entries.size() < separators || entries.size() > separators + 1 || !list.empty())
        std::abort();
    for (const std::wstring& entry : entries) {
        if (!entry.empty() && (entry.front() == L' ' || entry.back() == L' '))
            std::abort();
        readInteger(entry);
    }
    return 0;
}
