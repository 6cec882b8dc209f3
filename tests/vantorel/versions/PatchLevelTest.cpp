// The patch-level reading: which installed revision counts, and revisions compared.
#include "ActionTest.h"

#include "versions/Version.h"

#include <Poco/Exception.h>

namespace {

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

TEST(PatchLevel, RevisionsCompared)
{
    EXPECT_EQ(L"1", compareRevisions(L"14.0.10.0", L"14.0.9.0"));
    // The major number decides first; equal revisions compare all four.
    EXPECT_EQ(L"1", compareRevisions(L"15.0.2.5", L"14.0.2.5"));
    EXPECT_EQ(L"-1", compareRevisions(L"13.0.2.5", L"14.0.2.5"));
    EXPECT_EQ(L"0", compareRevisions(L"14.0.2.5", L"14.0.2.5"));
    EXPECT_EQ(L"", compareRevisions(L"", L"14.0.9.0"));
}

} // namespace
