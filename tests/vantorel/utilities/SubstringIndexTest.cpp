// The substring index that SortAvailableSetupLanguages asks: it must answer
// as a plain search of the text appended so far.
#include "ActionTest.h"

#include "utilities/SubstringIndex.h"

namespace {

TEST(SubstringIndexTest, AnswersLikeAPlainSearchWhileTheTextGrows)
{
    SubstringIndex index;
    std::wstring text;
    const std::vector<std::wstring> pieces = {L"en_us;", L"en;", L"abab;", L"ba;", L"\u00e9t\u00e9;", L"aaaa;"};
    const std::vector<std::wstring> probes = {L"",    L"en",   L"n_u",  L"us;e", L"bab",  L"abba",
                                              L"a;b", L"\u00e9", L"t\u00e9;a", L"aaaaa", L"x",    L";;"};
    for (const std::wstring& piece : pieces) {
        index.append(piece);
        text += piece;
        for (const std::wstring& probe : probes)
            EXPECT_EQ(text.find(probe) != std::wstring::npos, index.contains(probe))
                << hosting::narrow(text) << " / " << hosting::narrow(probe);
    }
}

// Over a small alphabet every probe up to five letters is asked, after every
// letter appended: repeats and overlaps are what make the index copy a state
// ("abbab", "aabaa"), and a wrong copy answers yes for a text that is absent.
TEST(SubstringIndexTest, EveryShortProbeOverASmallAlphabet)
{
    std::vector<std::wstring> probes{L""};
    for (std::size_t from = 0; probes.back().size() < 5; ) {
        const std::size_t to = probes.size();
        for (std::size_t i = from; i < to; ++i)
            for (wchar_t c : std::wstring(L"ab;"))
                probes.push_back(probes[i] + c);
        from = to;
    }
    for (const std::wstring& text : {std::wstring(L"abbab;aabaa;babba"), std::wstring(L"aaab;abab;bbaab;ab")}) {
        SubstringIndex index;
        for (std::size_t length = 1; length <= text.size(); ++length) {
            index.append(text.substr(length - 1, 1));
            const std::wstring seen = text.substr(0, length);
            for (const std::wstring& probe : probes)
                ASSERT_EQ(seen.find(probe) != std::wstring::npos, index.contains(probe))
                    << hosting::narrow(seen) << " / " << hosting::narrow(probe);
        }
    }
}

} // namespace
