// The frame's text helpers, numbers, files and exception class.
#include "ActionTest.h"

#include "host/InstallException.h"
#include "frame/Numbers.h"
#include "frame/PocoFile.h"
#include "frame/Sleep.h"
#include "frame/Text.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Conversions, RoundTripKeepsTextOutsideTheBasicPlane)
{
    // U+1F600 and U+10437 need surrogate pairs in UTF-16 and four UTF-8 bytes.
    const std::string utf8 = "x\xF0\x9F\x98\x80-\xF0\x90\x90\xB7 \xC3\xA9";
    const std::wstring wide = wideFromUtf8(utf8);
    EXPECT_EQ(utf8, utf8FromWide(wide));
    EXPECT_EQ(wide, wideFromUtf8(utf8FromWide(wide)));
    EXPECT_EQ(std::string("\xC3\xA9"), utf8FromWide(L"\u00E9"));
}

TEST(Conversions, StopAtTheFirstNul)
{
    EXPECT_EQ("ab", utf8FromWide(std::wstring(L"ab\0cd", 5)));
    EXPECT_EQ(L"ab", wideFromUtf8(std::string("ab\0cd", 5)));
    EXPECT_EQ("", utf8FromWide(L""));
}

TEST(Conversions, BuffersEndWithTheirTerminatorAndAreNeverNull)
{
    boost::shared_array<char> narrow = utf8BufferFromWide(L"abc");
    ASSERT_TRUE(narrow);
    EXPECT_STREQ("abc", narrow.get());
    boost::shared_array<wchar_t> wide = wideBufferFromUtf8("");
    ASSERT_TRUE(wide);
    EXPECT_EQ(L'\0', wide[0]);
}

TEST(Conversions, FailedConversionGivesEmptyTextNotANullBuffer)
{
    // The platform functions report failure as 0 units, as the Windows ones
    // do for a buffer too small; the helpers then hand out the terminator alone.
    char small[2];
    EXPECT_EQ(0, platform::wideToUtf8(L"abc", small, 2));
    EXPECT_EQ(4, platform::wideToUtf8(L"abc", nullptr, 0));
    // Only a size of 0 asks for the length; no buffer with another size is a
    // failure, as Windows documents it. Wine answers the length there, so
    // only the stand-in is held to it.
    if (testing_support::usesStandIns()) {
        EXPECT_EQ(0, platform::wideToUtf8(L"abc", nullptr, 4));
        EXPECT_EQ(0, platform::utf8ToWide("abc", nullptr, 4));
    }
    wchar_t wide[2];
    EXPECT_EQ(0, platform::utf8ToWide("abc", wide, 2));
    EXPECT_EQ(0, platform::utf8ToWide(nullptr, nullptr, 0));
    boost::shared_array<char> empty = utf8BufferFromWide(std::wstring());
    ASSERT_TRUE(empty.get() != nullptr);
    EXPECT_EQ('\0', empty[0]);
}

TEST(SplitAny, DropsEmptyPiecesAndKeepsBlanks)
{
    std::vector<std::wstring> pieces;
    splitAny(L";a;;b;", L";", pieces);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), pieces);

    pieces.clear();
    splitAny(L";;;", L";", pieces);
    splitAny(L"", L";", pieces);
    EXPECT_TRUE(pieces.empty());

    pieces.assign(1, L"kept");
    splitAny(L" a ;b", L";", pieces);
    EXPECT_EQ((std::vector<std::wstring>{L"kept", L" a ", L"b"}), pieces);

    pieces.clear();
    splitAny(L"1.2-rc", L".-", pieces);
    EXPECT_EQ((std::vector<std::wstring>{L"1", L"2", L"rc"}), pieces);
}

TEST(CompareNoCase, FoldsCaseIncludingNonAscii)
{
    EXPECT_EQ(0, compareNoCase(L"install", L"INSTALL"));
    EXPECT_EQ(0, compareNoCase(L"Install", L"install"));
    EXPECT_EQ(0, compareNoCase(L"\u00C9T\u00C9", L"\u00E9t\u00E9"));
    EXPECT_NE(0, compareNoCase(L"Install ", L"Install"));
    EXPECT_LT(compareNoCase(L"a", L"B"), 0);
}

TEST(TrimWhiteSpace, RemovesOnlyAsciiWhiteSpace)
{
    EXPECT_EQ(L"a b", trimWhiteSpace(L"\t\r\n\v\f a b \r"));
    EXPECT_EQ(L"", trimWhiteSpace(L" \t "));
    EXPECT_EQ(L"\u00A0x\u00A0", trimWhiteSpace(L"\u00A0x\u00A0"));
}

TEST(Truth, TextsAndLowerCase)
{
    EXPECT_EQ(L"true", boolToText(true));
    EXPECT_EQ(L"false", boolToText(false));
    EXPECT_EQ(L"beta,rc \u00E9", lowerCaseCopy(L"Beta,RC \u00C9"));
}

TEST(LeadingInteger, ReadsLikeAtoiAndSaturates)
{
    EXPECT_EQ(2, leadingInteger("2"));
    EXPECT_EQ(3, leadingInteger(" 3x"));
    EXPECT_EQ(4, leadingInteger("+4"));
    EXPECT_EQ(-7, leadingInteger("\t-7"));
    EXPECT_EQ(0, leadingInteger("abc"));
    EXPECT_EQ(0, leadingInteger(""));
    EXPECT_EQ(0, leadingInteger("- 5"));
    EXPECT_EQ(INT_MAX, leadingInteger("99999999999999999999999"));
    EXPECT_EQ(INT_MIN, leadingInteger("-99999999999999999999999"));
    // Several digits, zeros among them, after the last white-space character.
    EXPECT_EQ(1205, leadingInteger("\r1205"));
    EXPECT_EQ(INT_MAX, leadingInteger("2147483647"));
    EXPECT_EQ(INT_MIN, leadingInteger("-2147483648"));
}

TEST(BoundedMilliseconds, KeepsTheWaitWithinThirtyTwoBits)
{
    EXPECT_EQ(2000, boundedMilliseconds(2));
    EXPECT_EQ(2147483000, boundedMilliseconds(2147483));
    EXPECT_EQ(2147483000, boundedMilliseconds(2147484));
    EXPECT_EQ(2147483000, boundedMilliseconds(INT_MAX));
    EXPECT_EQ(-5000, boundedMilliseconds(-5));
    EXPECT_EQ(-2147483000, boundedMilliseconds(INT_MIN));
}

TEST(ExtendedLengthPath, RewritesAbsolutePathsOnly)
{
    EXPECT_EQ("\\\\?\\C:\\data\\file.txt", PocoWrapper::extendedLengthPath(L"C:\\data\\file.txt"));
    EXPECT_EQ("\\\\?\\UNC\\srv\\share\\f", PocoWrapper::extendedLengthPath(L"\\\\srv\\share\\f"));
    EXPECT_EQ("data\\file.txt", PocoWrapper::extendedLengthPath(L"data\\file.txt"));
    EXPECT_EQ("\\\\?\\data\\file.txt", PocoWrapper::extendedLengthPath(L"\\data\\file.txt"));
    // Already in the extended form: left as it is.
    EXPECT_EQ("\\\\?\\C:\\x", PocoWrapper::extendedLengthPath(L"\\\\?\\C:\\x"));
}

TEST(InstallExceptionClass, KeepsItsCodeAndFixedText)
{
    InstallException first(42);
    EXPECT_EQ(42, first.code());
    EXPECT_STREQ("InstallException thrown", first.what());
    InstallException copy(first);
    EXPECT_EQ(42, copy.code());
    InstallException assigned(7);
    assigned = first;
    EXPECT_EQ(42, assigned.code());
    try {
        throw InstallException(-3);
    } catch (const std::exception& caught) {
        EXPECT_STREQ("InstallException thrown", caught.what());
        EXPECT_EQ(-3, dynamic_cast<const InstallException&>(caught).code());
    }
}

} // namespace
