// DetectOverhangingPatch: the forward-fit file and the levels it lists.
#include "ActionTest.h"

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

} // namespace
