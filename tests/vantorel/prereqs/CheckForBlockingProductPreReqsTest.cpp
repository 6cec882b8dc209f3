// CheckForBlockingProductPreReqs: which identifiers are examined, and when
// an error blocks.
#include "ActionTest.h"

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

Outcome productPreReqs(std::map<std::wstring, std::wstring> properties, std::map<std::wstring, std::wstring> resolve = {})
{
    HostModel model;
    model.properties = std::move(properties);
    model.resolve = std::move(resolve);
    return runVantorel("CheckForBlockingProductPreReqs", model);
}

TEST(CheckForBlockingProductPreReqs, AllPassedReadsNothingElse)
{
    Outcome run = productPreReqs({{L"$product$prereqspassed", L"true"}, {L"$product$prereqids", L"a"}});
    EXPECT_EQ(0, run.result());
    EXPECT_EQ((Log{{2, L"isallpassed = true"}, {2, L"All product pre-reqs have passed."}}), run.log());
    EXPECT_EQ(L"0", run.property(L"HasBlockingPreReq"));
    EXPECT_EQ((std::vector<std::string>{"GetPropertyText:$product$prereqspassed", "Log:2", "Log:2",
                                        "SetProperty:HasBlockingPreReq"}),
              run.record.calls);
}

TEST(CheckForBlockingProductPreReqs, EveryIdentifierIsExaminedAndErrorsBlock)
{
    Outcome run = productPreReqs({{L"$product$prereqspassed", L"TRUE"},
                                  {L"$product$prereqids", L";a;;b ;c;d;"},
                                  {L"$product$prereq$a$passed", L"false"},
                                  {L"$product$prereq$a$type", L"error"},
                                  {L"$product$prereq$a$description", L"[DescA]"},
                                  {L"$product$prereq$a$reason", L"reason a"},
                                  {L"$product$prereq$b $passed", L"false"},
                                  {L"$product$prereq$b $type", L"warning"},
                                  {L"$product$prereq$c$passed", L"False"},
                                  {L"$product$prereq$d$passed", L"false"},
                                  {L"$product$prereq$d$type", L"error"},
                                  {L"$product$prereq$d$description", L"desc d"},
                                  {L"$product$prereq$d$reason", L"reason d"}},
                                 {{L"[DescA]", L"Resolved A"}});
    EXPECT_EQ((Log{{2, L"isallpassed = TRUE"},
                   {2, L"prereqids: ;a;;b ;c;d;"},
                   {2, L"curprereqid: a"},
                   {2, L"ispassed: false"},
                   {2, L"prereqtype: error"},
                   {4, L"Blocking pre-req failed: Resolved A"},
                   {4, L"Reason: reason a"},
                   {2, L"curprereqid: b "},
                   {2, L"ispassed: false"},
                   {2, L"prereqtype: warning"},
                   {2, L"curprereqid: c"},
                   {2, L"ispassed: False"},
                   {2, L"curprereqid: d"},
                   {2, L"ispassed: false"},
                   {2, L"prereqtype: error"},
                   {4, L"Blocking pre-req failed: desc d"},
                   {4, L"Reason: reason d"}}),
              run.log());
    EXPECT_EQ(L"1", run.property(L"HasBlockingPreReq"));
    // Each identifier is logged before its state is read, and each read is
    // logged before the next; a failed prerequisite's description is read and
    // resolved before its reason.
    const std::vector<std::string> readsOfD{"Log:2", "GetPropertyText:$product$prereq$d$passed", "Log:2",
                                            "GetPropertyText:$product$prereq$d$type", "Log:2",
                                            "GetPropertyText:$product$prereq$d$description", "ResolveText",
                                            "GetPropertyText:$product$prereq$d$reason", "ResolveText", "Log:4",
                                            "Log:4"};
    EXPECT_NE(std::search(run.record.calls.begin(), run.record.calls.end(), readsOfD.begin(), readsOfD.end()),
              run.record.calls.end());
}

TEST(CheckForBlockingProductPreReqs, NoIdentifiersOrNoErrorMeansNotBlocking)
{
    Outcome none = productPreReqs({{L"$product$prereqspassed", L"false"}});
    EXPECT_EQ((Log{{2, L"isallpassed = false"}, {2, L"prereqids: "}}), none.log());
    EXPECT_EQ(L"0", none.property(L"HasBlockingPreReq"));

    Outcome warningOnly = productPreReqs({{L"$product$prereqids", L"w;ok"},
                                          {L"$product$prereq$w$passed", L"false"},
                                          {L"$product$prereq$w$type", L"Error"},
                                          {L"$product$prereq$ok$passed", L"true"}});
    EXPECT_EQ(L"0", warningOnly.property(L"HasBlockingPreReq"));
    for (const auto& line : warningOnly.log())
        EXPECT_EQ(2, line.first);
}

} // namespace
