// DetectPatchOrSPOnHigherRevision: the installed revision not below the installing one.
#include "ActionTest.h"

#include "PatchLevelCase.h"

using testing_support::patchAction;

namespace {

TEST(DetectPatchOrSPOnHigherRevision, InstalledNotBelowInstalling)
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
    EXPECT_EQ(L"false", patchAction("DetectPatchOrSPOnHigherRevision", L"", L"", L"14.0.2.5").property(L"R"));
    EXPECT_TRUE(patchAction("DetectPatchOrSPOnHigherRevision", L"14.x.2.5", L"", L"14.0.2.5").record.exception);
}

} // namespace
