// CompareVersion: the range, the logged components, the suffixes, the faults.
#include "ActionTest.h"

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

Outcome compare(const std::wstring& version, const std::wstring& minVersion, const std::wstring& maxVersion,
                const std::wstring& allowedSuffix = L"", const std::wstring& property = L"R")
{
    HostModel model;
    model.parameters[L"VersionNeedToCompare"] = version;
    model.parameters[L"minVersion"] = minVersion;
    model.parameters[L"maxVersion"] = maxVersion;
    model.parameters[L"AllowedSuffix"] = allowedSuffix;
    model.parameters[L"Property"] = property;
    return runVantorel("CompareVersion", model);
}

TEST(CompareVersion, RangeDecisions)
{
    struct Case {
        const wchar_t* version;
        const wchar_t* minVersion;
        const wchar_t* maxVersion;
        const wchar_t* expected;
    } cases[] = {
        {L"1.5", L"1.0", L"2.0", L"1"},  {L"1.0", L"1.0", L"2.0", L"1"}, {L"2.0", L"1.0", L"2.0", L"1"},
        {L"2.1", L"1.0", L"2.0", L"0"},  {L"0.9", L"1.0", L"2.0", L"0"}, {L"1.4", L"1.5", L"2.0", L"0"},
        {L"2.3", L"1.5", L"2.0", L"0"},  {L"1.9", L"1.5", L"2.0", L"1"}, {L"3.2", L"3.1", L"", L"1"},
        {L"3.0", L"3.1", L"", L"0"},     {L"3.0", L"", L"3.1", L"1"},    {L"3.2", L"", L"3.1", L"0"},
        {L"7.0.1", L"", L"", L"1"},      {L"1.10", L"1.9", L"", L"1"},   {L"1..2", L"1.2", L"1.2", L"1"},
        // A position only some lists have counts as 0.
        {L"2", L"", L"2.0", L"1"},       {L"2.1", L"", L"2", L"0"},      {L"12.1", L"12", L"", L"1"},
        {L"2", L"2.1", L"", L"0"},
    };
    for (const Case& c : cases) {
        Outcome run = compare(c.version, c.minVersion, c.maxVersion);
        EXPECT_EQ(0, run.result());
        EXPECT_EQ(c.expected, run.property(L"R"))
            << hosting::narrow(c.version) << " in " << hosting::narrow(c.minVersion) << ".."
            << hosting::narrow(c.maxVersion);
    }
}

TEST(CompareVersion, LogsEachComponentReadAndTheRange)
{
    Outcome run = compare(L"1.5", L"1.0", L"2.0");
    EXPECT_EQ((Log{{2, L"Running CompareVersion"},
                   {2, L"CompareVersion: inputVersionnumbers[i]: 1"},
                   {2, L"CompareVersion: maxVersionNumbers[i]: 2"},
                   {2, L"CompareVersion: minVersionNumbers[i]: 1"},
                   {2, L"CompareVersion: inputVersionnumbers[i]: 5"},
                   {2, L"CompareVersion: maxVersionNumbers[i]: 0"},
                   {2, L"CompareVersion: minVersionNumbers[i]: 0"},
                   {2, L"CompareVersion: versionToCompare: 1.5 is in range: {1.0 - 2.0}"}}),
              run.log());
    EXPECT_EQ((std::vector<std::string>{"Log:2", "GetParameter:maxVersion", "GetParameter:minVersion",
                                        "GetParameter:VersionNeedToCompare", "GetParameter:Property",
                                        "GetParameter:AllowedSuffix"}),
              std::vector<std::string>(run.record.calls.begin(), run.record.calls.begin() + 6));
    EXPECT_EQ("SetProperty:R", run.record.calls.back());

    Outcome below = compare(L"0.9", L"1.0", L"");
    EXPECT_EQ((std::pair<int, std::wstring>{2, L"CompareVersion: versionToCompare: 0.9 is NOT in range: {1.0 - }"}),
              below.log().back());
    EXPECT_EQ((std::vector<std::string>{"Log:2", "SetProperty:R"}),
              std::vector<std::string>(below.record.calls.end() - 2, below.record.calls.end()));
}

TEST(CompareVersion, MalformedComponentNamesTheWholeTextAndWritesNothing)
{
    Outcome run = compare(L"7.x", L"", L"");
    EXPECT_EQ(1, run.result());
    EXPECT_EQ((std::pair<int, std::wstring>{2, L"CompareVersion: [versionToCompare]:7.xis not in the correct format: XX.XX"}),
              run.log().back());
    EXPECT_TRUE(run.record.writes.empty());

    Outcome badMax = compare(L"2.0", L"", L"2.a");
    EXPECT_EQ(1, badMax.result());
    EXPECT_EQ(L"CompareVersion: [maxVersion]:2.ais not in the correct format: XX.XX", badMax.log().back().second);

    Outcome badMin = compare(L"1.0", L"b", L"2.0");
    EXPECT_EQ(L"CompareVersion: [minVersion]:bis not in the correct format: XX.XX", badMin.log().back().second);

    Outcome noSuffixSplit = compare(L"2.0-rc", L"", L"");
    EXPECT_EQ(1, noSuffixSplit.result());
    EXPECT_TRUE(noSuffixSplit.record.writes.empty());

    Outcome empty = compare(L"", L"", L"");
    EXPECT_EQ(L"1", empty.property(L"R"));
    EXPECT_EQ(2u, empty.log().size());
}

TEST(CompareVersion, SuffixesAreCheckedAgainstTheLoweredList)
{
    Outcome accepted = compare(L"2.0-rc", L"1.0", L"2.0", L"Beta,RC");
    EXPECT_EQ(L"1", accepted.property(L"R"));
    EXPECT_EQ(L"CompareVersion: Found suffix in [VersionNeedToCompare]. Checking to see if the suffix is in the "
              L"allowed list",
              accepted.log()[1].second);
    EXPECT_EQ(L"CompareVersion: versionToCompare: 2.0 is in range: {1.0 - 2.0}", accepted.log().back().second);

    Outcome refused = compare(L"2.0-ALPHA", L"1.0", L"2.0", L"Beta,RC");
    EXPECT_EQ(0, refused.result());
    EXPECT_EQ(L"0", refused.property(L"R"));
    EXPECT_EQ((std::pair<int, std::wstring>{2, L"CompareVersion: The version suffix: alphais missing from the "
                                                L"allowedSuffix list: beta,rc"}),
              refused.log().back());
    EXPECT_EQ("SetProperty:R", refused.record.calls.back());

    EXPECT_EQ(L"1", compare(L"1.0-ta", L"", L"", L"beta").property(L"R"));
    // Middle pieces are dropped: the suffix is the last piece.
    EXPECT_EQ(L"1", compare(L"1.2-rc-2", L"1.2", L"1.2", L"x2").property(L"R"));
    Outcome plain = compare(L"2.0", L"", L"", L"beta");
    EXPECT_EQ(L"1", plain.property(L"R"));
    EXPECT_EQ(4u, plain.log().size());
}

TEST(CompareVersion, EmptyPropertyNameFallsBackWithAWarning)
{
    Outcome run = compare(L"1.0", L"", L"", L"", L"");
    EXPECT_EQ((std::pair<int, std::wstring>{3, L"CompareVersion: [Property] is empty. Result will be write out to "
                                               L"[CompareVersionResult]."}),
              run.log()[1]);
    EXPECT_EQ(L"1", run.property(L"CompareVersionResult"));
}

TEST(CompareVersion, HostFaultsAreCaught)
{
    HostModel model;
    model.parameters[L"VersionNeedToCompare"] = L"1.0";
    model.parameters[L"Property"] = L"R";
    for (const char* fault : {"Log:2", "GetParameter:Property", "SetProperty:R"}) {
        model.faults = {fault};
        Outcome run = runVantorel("CompareVersion", model);
        EXPECT_EQ(1, run.result()) << fault;
        EXPECT_EQ((std::pair<int, std::wstring>{4, L"CompareVersion crashed"}), run.log().back()) << fault;
    }
}

} // namespace
