// The version vocabulary: dotted revisions, their components, numbers.
#include "ActionTest.h"

#include "versions/Version.h"

#include <Poco/Exception.h>


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

} // namespace
