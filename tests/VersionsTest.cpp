// The version vocabulary, CompareVersion, DetectOverhangingPatch and the
// patch-level actions.
#include "ActionTest.h"

#include "versions/Version.h"

#include <Poco/Exception.h>
#include <Poco/File.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

TEST(VersionVocabulary, DottedRevisionShapes)
{
    EXPECT_TRUE(isDottedRevision(L"14.0.2.1038", 3));
    EXPECT_TRUE(isDottedRevision(L"14.0.2", 2));
    for (const wchar_t* bad : {L"14.0.2", L"14.0.2.1.5", L"14..2.1", L"14.0.2.", L" 14.0.2.1", L"14.0.2.1 ",
                               L"", L"a.0.2.1", L".0.2.1", L"14.0.2.\u0661"})
        EXPECT_FALSE(isDottedRevision(bad, 3)) << hosting::narrow(bad);
}

TEST(VersionVocabulary, RevisionComponentsDropEmptiesAndTrim)
{
    EXPECT_EQ(L"2", getRevisionComponent(L"14..2.5", 1));
    EXPECT_EQ(L"5", getRevisionComponent(L"14..2.5", 2));
    EXPECT_EQ(L"", getRevisionComponent(L"14..2.5", 3));
    EXPECT_EQ(L"0", getRevisionComponent(L" 14 . 0 ", 1));
    EXPECT_EQ(L"", getRevisionComponent(L"", 0));
}

TEST(VersionVocabulary, NumberParsing)
{
    int value = 0;
    EXPECT_TRUE(tryParseInt(L"-12", value));
    EXPECT_EQ(-12, value);
    EXPECT_FALSE(tryParseInt(L"", value));
    EXPECT_FALSE(tryParseInt(L"0-rc", value));
    EXPECT_FALSE(tryParseInt(L"99999999999", value));
    EXPECT_EQ(10, parseInt(L"10"));
    EXPECT_THROW(parseInt(L""), Poco::SyntaxException);
    EXPECT_THROW(parseInt(L"x"), Poco::SyntaxException);
}

// ---- CompareVersion

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

// ---- DetectOverhangingPatch

struct Overhang {
    testing_support::ScratchDirectory directory;

    Outcome run(const std::wstring& current, const std::wstring& productId, const std::string& file,
                bool createFile = true)
    {
        HostModel model;
        const std::string path = createFile ? directory.write("ff.txt", file) : directory.path() + "/missing.txt";
        model.parameters[L"ForwardFitDataFile"] = hosting::widen(path);
        model.parameters[L"CurrentPatchLevel"] = current;
        model.properties[L"$product.id"] = productId;
        model.properties[L"OverhangingPatch"] = L"stale";
        return runVantorel("DetectOverhangingPatch", model);
    }

    // Runs with the data file at path, where the installing SP level differs.
    static Outcome runAt(const std::string& path)
    {
        HostModel model;
        model.parameters[L"ForwardFitDataFile"] = hosting::widen(path);
        model.parameters[L"CurrentPatchLevel"] = L"14.0.1.7";
        model.properties[L"$product.id"] = L"P1,14.0.3.0";
        return runVantorel("DetectOverhangingPatch", model);
    }

    // The read-error path: two level-4 lines, result 1, "false" kept.
    static void expectReadError(const std::string& path, const std::wstring& reason)
    {
        Outcome run = runAt(path);
        EXPECT_EQ(1, run.result()) << path;
        ASSERT_LE(2u, run.log().size()) << path;
        const Log log = run.log();
        EXPECT_EQ((std::pair<int, std::wstring>{4, L"Error reading data file: " + hosting::widen(path)}),
                  log[log.size() - 2]);
        EXPECT_EQ(4, log.back().first);
        if (!reason.empty()) {
            EXPECT_EQ(reason, log.back().second);
        }
        EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{{L"OverhangingPatch", L"false"}}),
                  run.record.writes) << path;
    }
};

// What is no regular file takes the error path at once, without being opened
// for reading (a FIFO would block there, a device never end); a read error is
// an error, not the end of the file.
TEST(DetectOverhangingPatch, DataFilesThatAreNotFilesOrCannotBeRead)
{
    Overhang overhang;
    Overhang::expectReadError(overhang.directory.path(), L"not a regular file");
#if defined(_WIN32)
    // A file another process holds without sharing cannot be opened.
    const std::string locked = overhang.directory.write("locked.txt", "14.0.3: 14.0.1.5\n");
    HANDLE holder = CreateFileW(hosting::widen(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    Overhang::expectReadError(locked, L"");
    CloseHandle(holder);
#else
    const std::string fifo = overhang.directory.path() + "/fifo";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    Overhang::expectReadError(fifo, L"not a regular file");
    Overhang::expectReadError("/dev/zero", L"not a regular file");
    // A regular file whose reading fails: /proc/self/mem at offset 0 (EIO).
    if (Poco::File("/proc/self/mem").exists())
        Overhang::expectReadError("/proc/self/mem", L"");
    if (geteuid() != 0) {
        const std::string closed = overhang.directory.write("closed.txt", "14.0.3: 14.0.1.5\n");
        ASSERT_EQ(0, chmod(closed.c_str(), 0));
        Overhang::expectReadError(closed, L"");
    }
#endif
}

TEST(DetectOverhangingPatch, TheInstalledSpLevelsForwardFitLevelDecides)
{
    Overhang overhang;
    const std::string line = "14.0.3: 14.0.0.12 14.0.1.5 14.0.2.3\n";
    Outcome above = overhang.run(L"14.0.1.7", L"P1,14.0.3.0", line);
    EXPECT_EQ(0, above.result());
    EXPECT_EQ(L"true", above.property(L"OverhangingPatch"));
    EXPECT_EQ((Log{{2, L"Current patch level: 14.0.1.7"},
                   {2, L"SP level of installing product: 14.0.3"},
                   {2, L"Processing line: 14.0.3: 14.0.0.12 14.0.1.5 14.0.2.3"},
                   {2, L"Using line for check."},
                   {2, L"Checking against forward fit level: 14.0.1.5"}}),
              above.log());
    EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{{L"OverhangingPatch", L"false"},
                                                                   {L"OverhangingPatch", L"true"}}),
              above.record.writes);

    EXPECT_EQ(L"false", overhang.run(L"14.0.1.5", L"P1,14.0.3.0", line).property(L"OverhangingPatch"));
}

TEST(DetectOverhangingPatch, NothingToDetect)
{
    Overhang overhang;
    Outcome empty = overhang.run(L"", L"P1,14.0.3.0", "");
    EXPECT_EQ(0, empty.result());
    EXPECT_TRUE(empty.log().empty());
    EXPECT_EQ(L"false", empty.property(L"OverhangingPatch"));

    Outcome equal = overhang.run(L"14.0.3.4", L"P1,14.0.3.0", "", false);
    EXPECT_EQ(0, equal.result());
    EXPECT_EQ((Log{{2, L"Current patch level: 14.0.3.4"},
                   {2, L"SP level of installing product: 14.0.3"},
                   {2, L"The installed product SP level matches the installing product SP level."},
                   {2, L"We don't need to detect overhanging patches."}}),
              equal.log());
    EXPECT_EQ(L"false", equal.property(L"OverhangingPatch"));
    // "false" is written first and again, after the last line.
    EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{{L"OverhangingPatch", L"false"},
                                                                   {L"OverhangingPatch", L"false"}}),
              equal.record.writes);
    EXPECT_EQ((std::vector<std::string>{"Log:2", "SetProperty:OverhangingPatch"}),
              std::vector<std::string>(equal.record.calls.end() - 2, equal.record.calls.end()));
}

TEST(DetectOverhangingPatch, BadInputsEndWithResultOne)
{
    Overhang overhang;
    Outcome badLevel = overhang.run(L"14.0.1", L"P1,14.0.3.0", "");
    EXPECT_EQ(1, badLevel.result());
    EXPECT_EQ((Log{{4, L"Current patch level property has invalid dotted revision: 14.0.1"},
                   {4, L"Expecting dotted revision of the form: x.y.z.w"}}),
              badLevel.log());
    EXPECT_EQ(L"false", badLevel.property(L"OverhangingPatch"));

    for (const wchar_t* id : {L"P1", L"P1,"}) {
        Outcome noRevision = overhang.run(L"14.0.1.7", id, "");
        EXPECT_EQ(1, noRevision.result());
        EXPECT_EQ((std::pair<int, std::wstring>{4, std::wstring(L"Current product DU id has no revision: ") + id}),
                  noRevision.log().back());
    }
    Outcome badRevision = overhang.run(L"14.0.1.7", L"P1,14.0.3", "");
    EXPECT_EQ((std::pair<int, std::wstring>{4, L"Current product DU id has invalid dotted revision: P1,14.0.3"}),
              badRevision.log().back());

    Outcome missing = overhang.run(L"14.0.1.7", L"P1, 14.0.3.0 ", "", false);
    EXPECT_EQ(1, missing.result());
    EXPECT_EQ(4, missing.log().back().first);
    EXPECT_EQ(0u, missing.log().back().second.find(L"Missing data file: "));
    EXPECT_EQ(L"false", missing.property(L"OverhangingPatch"));
}

TEST(DetectOverhangingPatch, DataLinesAreTrimmedCommentedAndCheckedOneByOne)
{
    Overhang overhang;
    const std::string file = "# forward fit\r\n"
                             "\r\n"
                             "14.0.3 14.0.1.5\r\n"
                             "14.0: 14.0.1.5\n"
                             "13.0.1: 14.0.1.1\n"
                             "14.0.3:\n"
                             "  14.0.3: 14.0.1.5, 14.0.2.9 # SP2 only\n"
                             "14.0.3: 14.0.2.8\v 14.0.2.9 \v# a blank that is no separator ends the list\n"
                             "14.0.3:7\n"
                             "14.0.3: 14.0.1.9";
    Outcome run = overhang.run(L"14.0.1.7", L"P1,14.0.3.0", file);
    EXPECT_EQ(0, run.result());
    EXPECT_EQ(L"false", run.property(L"OverhangingPatch"));
    EXPECT_EQ((Log{{2, L"Current patch level: 14.0.1.7"},
                   {2, L"SP level of installing product: 14.0.3"},
                   {2, L"Processing line: 14.0.3 14.0.1.5"},
                   {4, L"Skipping invalid data line.  No colon found."},
                   {2, L"Processing line: 14.0: 14.0.1.5"},
                   {4, L"Current line has invalid level before colon.  Expecting level of form: x.y.z"},
                   {2, L"Processing line: 13.0.1: 14.0.1.1"},
                   {2, L"Processing line: 14.0.3:"},
                   {2, L"Using line for check."},
                   {2, L"Processing line:   14.0.3: 14.0.1.5, 14.0.2.9 # SP2 only"},
                   {2, L"Using line for check."},
                   {4, L"Current level string is invalid.  Expecting level of form: x.y.z.w"},
                   {4, L"Level: 14.0.1.5,"},
                   {2, L"Processing line: 14.0.3: 14.0.2.8\v 14.0.2.9 \v# a blank that is no separator ends the list"},
                   {2, L"Using line for check."},
                   {2, L"Processing line: 14.0.3:7"},
                   {2, L"Using line for check."},
                   {4, L"Current level string is invalid.  Expecting level of form: x.y.z.w"},
                   {4, L"Level: 7"},
                   {2, L"Processing line: 14.0.3: 14.0.1.9"},
                   {2, L"Using line for check."},
                   {2, L"Checking against forward fit level: 14.0.1.9"}}),
              run.log());
}

TEST(DetectOverhangingPatch, NoDecidingLevel)
{
    Overhang overhang;
    Outcome matchedOnly = overhang.run(L"14.0.1.7", L"P1,14.0.3.0", "14.0.3: 14.0.0.12 14.0.2.3\n");
    EXPECT_EQ(0, matchedOnly.result());
    EXPECT_EQ(L"true", matchedOnly.property(L"OverhangingPatch"));
    EXPECT_EQ((std::pair<int, std::wstring>{2, L"No corresponding level found in any matching SP level line.  "
                                               L"Assuming overhang."}),
              matchedOnly.log().back());
    EXPECT_EQ((std::vector<std::string>{"Log:2", "SetProperty:OverhangingPatch"}),
              std::vector<std::string>(matchedOnly.record.calls.end() - 2, matchedOnly.record.calls.end()));

    Outcome noLine = overhang.run(L"14.0.1.7", L"P1,14.0.3.0", "# none\n\n14.0.2: 14.0.1.1\n");
    EXPECT_EQ(1, noLine.result());
    EXPECT_EQ(L"true", noLine.property(L"OverhangingPatch"));
    const Log log = noLine.log();
    EXPECT_EQ((Log{{4, L"No matching SP level line found in data file."},
                   {4, L"Setting overhang to true anyways so that someone remembers to add the line."}}),
              Log(log.end() - 2, log.end()));
    // The three parameters are read before "false" is written first; both
    // lines come before "true" is written last.
    const std::vector<std::string>& calls = noLine.record.calls;
    EXPECT_EQ((std::vector<std::string>{"GetParameter:ForwardFitDataFile", "GetParameter:CurrentPatchLevel",
                                        "GetParameter:$product.id", "SetProperty:OverhangingPatch"}),
              std::vector<std::string>(calls.begin(), calls.begin() + 4));
    EXPECT_EQ((std::vector<std::string>{"Log:4", "Log:4", "SetProperty:OverhangingPatch"}),
              std::vector<std::string>(calls.end() - 3, calls.end()));

    // Levels compare as texts: 14.0.03 is not 14.0.3.
    EXPECT_EQ(1, overhang.run(L"14.0.1.7", L"P1,14.0.3.0", "14.0.03: 14.0.1.9\n").result());
}

TEST(DetectOverhangingPatch, PatchNumbersBeyondThirtyTwoBits)
{
    Overhang overhang;
    Outcome run = overhang.run(L"14.0.1.7", L"P1,14.0.3.0", "14.0.3: 14.0.1.99999999999\n");
    EXPECT_EQ(1, run.result());
    EXPECT_EQ((std::pair<int, std::wstring>{2, L"Could not parse int: 99999999999"}), run.log().back());
    EXPECT_EQ(L"false", run.property(L"OverhangingPatch"));
    // The installed patch number too.
    Outcome installed = overhang.run(L"14.0.1.99999999999", L"P1,14.0.3.0", "14.0.3: 14.0.1.5\n");
    EXPECT_EQ(1, installed.result());
    EXPECT_EQ((std::pair<int, std::wstring>{2, L"Could not parse int: 99999999999"}), installed.log().back());
}

TEST(DetectOverhangingPatch, HostFaultWhileReadingIsHandledBeforeItIsNot)
{
    Overhang overhang;
    HostModel model;
    model.parameters[L"ForwardFitDataFile"] = hosting::widen(overhang.directory.write("ff.txt", "14.0.3: 14.0.1.5\n"));
    model.parameters[L"CurrentPatchLevel"] = L"14.0.1.7";
    model.parameters[L"$product.id"] = L"P,14.0.3.0";
    model.faults = {"SetProperty:OverhangingPatch", "SetProperty:OverhangingPatch"};
    Outcome early = runVantorel("DetectOverhangingPatch", model);
    EXPECT_TRUE(early.record.exception);

    // The third level-2 line is "Processing line: ...", inside the reading region.
    model.faults.clear();
    const std::vector<std::string> calls = runVantorel("DetectOverhangingPatch", model).record.calls;
    std::size_t processing = 0;
    for (std::size_t seen = 0; processing < calls.size(); ++processing)
        if (calls[processing] == "Log:2" && ++seen == 3)
            break;
    model.failAtCall = static_cast<long>(processing);
    Outcome reading = runVantorel("DetectOverhangingPatch", model);
    EXPECT_EQ(1, reading.result());
    EXPECT_FALSE(reading.record.exception);
    const Log log = reading.log();
    EXPECT_EQ(4, log[log.size() - 2].first);
    EXPECT_EQ(0u, log[log.size() - 2].second.find(L"Error reading data file: "));
    EXPECT_EQ(L"simulated host fault at Log:2", log.back().second);
}

// ---- Patch levels

Outcome patchAction(const std::string& action, const std::wstring& product, const std::wstring& family,
                    const std::wstring& installing = L"")
{
    HostModel model;
    model.parameters[L"ProductDUID"] = L"prod";
    model.parameters[L"ProductFamilyDUID"] = L"fam";
    model.parameters[L"InstallingRevision"] = installing;
    model.parameters[L"PropertyName"] = L"R";
    if (!product.empty())
        model.properties[L"$du$prod$installedrevision"] = product;
    if (!family.empty())
        model.properties[L"$du$fam$installedrevision"] = family;
    model.properties[L"R"] = L"old";
    return runVantorel(action, model);
}

TEST(PatchLevel, SelectionOfTheInstalledRevision)
{
    EXPECT_EQ(L"14.0.0.0", selectInstalledRevision(L"14.0.2.5", L"14.0.0.0"));
    EXPECT_EQ(L"14.0.2.5", selectInstalledRevision(L"14.0.2.5", L"14.1.0.0"));
    EXPECT_EQ(L"14.0.1.3", selectInstalledRevision(L"14.0.0.9", L"14.0.1.3"));
    EXPECT_EQ(L"14.0.2.5", selectInstalledRevision(L"14.0.2.5", L"14.0.1.3"));
    // A product at SP 1 keeps its own revision only while the family is below SP 1.
    EXPECT_EQ(L"14.0.1.7", selectInstalledRevision(L"14.0.1.7", L"14.0.1.3"));
    EXPECT_EQ(L"14.0.1.0", selectInstalledRevision(L"14.0.1.0", L"14.0.3.0"));
    EXPECT_EQ(L"14.0.2.5", selectInstalledRevision(L"14.0.2.5", L""));
    EXPECT_EQ(L"14.0.1.3", selectInstalledRevision(L"14.0", L"14.0.1.3"));
    EXPECT_THROW(selectInstalledRevision(L"14.0.2.5", L"14.0"), Poco::SyntaxException);
}

TEST(PatchLevel, GetProductPatchLevelWritesTheChoiceWithoutLogging)
{
    Outcome run = patchAction("GetProductPatchLevel", L"14.0.0.0", L"14.0.2.5");
    EXPECT_EQ(0, run.result());
    EXPECT_EQ(L"14.0.0.0", run.property(L"R"));
    EXPECT_TRUE(run.log().empty());
    EXPECT_EQ((std::vector<std::string>{"GetParameter:ProductDUID", "GetParameter:ProductFamilyDUID",
                                        "GetParameter:PropertyName", "GetParameter:$du$prod$installedrevision",
                                        "GetParameter:$du$fam$installedrevision", "SetProperty:R"}),
              run.record.calls);
    EXPECT_EQ(L"", patchAction("GetProductPatchLevel", L"", L"").property(L"R"));
}

TEST(PatchLevel, CheckValidMinorRelease)
{
    EXPECT_EQ(L"true", patchAction("CheckValidMinorRelease", L"14.0.2.5", L"", L"14.1.0.0").property(L"R"));
    EXPECT_EQ(L"false", patchAction("CheckValidMinorRelease", L"14.0.2.5", L"", L"14.1.1.0").property(L"R"));
    EXPECT_EQ(L"true", patchAction("CheckValidMinorRelease", L"14.0.2.5", L"", L"14.0.3.0").property(L"R"));
    EXPECT_EQ(L"false", patchAction("CheckValidMinorRelease", L"", L"", L"14.0.3.0").property(L"R"));
}

TEST(PatchLevel, DetectPatchOnLowerSp)
{
    const struct {
        const wchar_t* installing;
        const wchar_t* expected;
    } cases[] = {{L"14.0.3.0", L"true"}, {L"14.0.2.9", L"false"}, {L"14.1.0.0", L"true"},
                 {L"13.9.9.9", L"true"}, {L"15.0.0.0", L"false"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, patchAction("DetectPatchOnLowerSP", L"14.0.2.5", L"", c.installing).property(L"R"))
            << hosting::narrow(c.installing);

    Outcome none = patchAction("DetectPatchOnLowerSP", L"", L"", L"14.0.3.0");
    EXPECT_TRUE(none.record.exception);
    EXPECT_EQ(L"old", none.property(L"R"));
}

TEST(PatchLevel, DetectPatchOrSpOnHigherRevision)
{
    const struct {
        const wchar_t* installing;
        const wchar_t* expected;
    } cases[] = {{L"14.0.2.5", L"true"}, {L"14.0.2.4", L"true"}, {L"14.0.2.6", L"false"},
                 {L"14.1.0.0", L"false"}, {L"14.0", L"true"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.expected,
                  patchAction("DetectPatchOrSPOnHigherRevision", L"14.0.2.5", L"", c.installing).property(L"R"))
            << hosting::narrow(c.installing);
    EXPECT_EQ(L"1", compareRevisions(L"14.0.10.0", L"14.0.9.0"));
    // The major number decides first; equal revisions compare all four.
    EXPECT_EQ(L"1", compareRevisions(L"15.0.2.5", L"14.0.2.5"));
    EXPECT_EQ(L"-1", compareRevisions(L"13.0.2.5", L"14.0.2.5"));
    EXPECT_EQ(L"0", compareRevisions(L"14.0.2.5", L"14.0.2.5"));
    EXPECT_EQ(L"", compareRevisions(L"", L"14.0.9.0"));
    EXPECT_EQ(L"false", patchAction("DetectPatchOrSPOnHigherRevision", L"", L"", L"14.0.2.5").property(L"R"));
    EXPECT_TRUE(patchAction("DetectPatchOrSPOnHigherRevision", L"14.x.2.5", L"", L"14.0.2.5").record.exception);
}

} // namespace
