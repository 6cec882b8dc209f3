// DetectPatchOnLowerSP: the installed minor release or SP below the installing one.
#include "ActionTest.h"

#include "PatchLevelCase.h"

using testing_support::Outcome;
using testing_support::patchAction;

namespace {

TEST(DetectPatchOnLowerSP, LowerMinorReleaseOrSp)
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

} // namespace
