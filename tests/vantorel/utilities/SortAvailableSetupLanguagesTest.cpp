// SortAvailableSetupLanguages: which languages come first, its lines and
// host-call order.
#include "ActionTest.h"

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

std::wstring sortLanguages(const std::wstring& available, const std::wstring& prioritized, Log* log = nullptr)
{
    HostModel model;
    model.properties[L"$available.ui.langs"] = available;
    model.parameters[L"PrioritizedLanguage"] = prioritized;
    model.parameters[L"WriteProperty"] = L"LANGS";
    Outcome run = runVantorel("SortAvailableSetupLanguages", model);
    EXPECT_EQ(0, run.result());
    if (log != nullptr)
        *log = run.log();
    return run.property(L"LANGS");
}

TEST(SortAvailableSetupLanguages, ContainmentSemantics)
{
    EXPECT_EQ(L"ja;de;en;fr", sortLanguages(L"en;de;fr;ja", L"ja;de"));
    EXPECT_EQ(L"JA;en;de;fr", sortLanguages(L"en;de;fr;ja", L"JA"));
    EXPECT_EQ(L"en;de", sortLanguages(L"en;de", L"ko"));
    EXPECT_EQ(L"e;en;de", sortLanguages(L"en;de", L"e"));
    EXPECT_EQ(L"en_US", sortLanguages(L"en_US;en", L"en_US"));
    EXPECT_EQ(L"de;de;en", sortLanguages(L"en;de;en", L"de;de"));
    EXPECT_EQ(L"en;de;fr", sortLanguages(L";en;;de;fr;", L";"));
    EXPECT_EQ(L"en;de", sortLanguages(L"en;de", L"de; en").substr(0, 0) + sortLanguages(L"en;de", L" en"));
    EXPECT_EQ(L"\u00C9S;fr", sortLanguages(L"\u00E9s;fr", L"\u00C9S"));
}

TEST(SortAvailableSetupLanguages, LogLinesAndPassThrough)
{
    Log log;
    EXPECT_EQ(L"", sortLanguages(L"", L"de", &log));
    EXPECT_EQ((Log{{2, L"Sorting Available Languages (highest to lowest): "}, {2, L"Sorted Available Languages: "}}),
              log);
    EXPECT_EQ(L" en;;de ", sortLanguages(L" en;;de ", L"", &log));
    EXPECT_EQ((Log{{2, L"Sorting Available Languages (highest to lowest): "}, {2, L"No Prioritized Language Specified."}}),
              log);
}

// The host sees the announcement, the three reads in order, and the result
// logged before it is written, on both paths.
TEST(SortAvailableSetupLanguages, HostCallOrder)
{
    HostModel model;
    model.properties[L"$available.ui.langs"] = L"en;de";
    model.parameters[L"PrioritizedLanguage"] = L"de";
    model.parameters[L"WriteProperty"] = L"LANGS";
    const std::vector<std::string> reads{"Log:2", "GetParameter:$available.ui.langs", "GetParameter:PrioritizedLanguage",
                                         "GetParameter:WriteProperty"};
    std::vector<std::string> sorted = reads;
    sorted.insert(sorted.end(), {"Log:2", "SetProperty:LANGS"});
    EXPECT_EQ(sorted, runVantorel("SortAvailableSetupLanguages", model).record.calls);
    model.parameters[L"PrioritizedLanguage"] = L"";
    EXPECT_EQ(sorted, runVantorel("SortAvailableSetupLanguages", model).record.calls);
}

} // namespace
