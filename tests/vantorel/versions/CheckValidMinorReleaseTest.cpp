// CheckValidMinorRelease: a minor release raised with a service pack is not valid.
#include "ActionTest.h"

#include "PatchLevelCase.h"

using testing_support::patchAction;

namespace {

TEST(CheckValidMinorRelease, MinorReleaseAndServicePack)
{
    EXPECT_EQ(L"true", patchAction("CheckValidMinorRelease", L"14.0.2.5", L"", L"14.1.0.0").property(L"R"));
    EXPECT_EQ(L"false", patchAction("CheckValidMinorRelease", L"14.0.2.5", L"", L"14.1.1.0").property(L"R"));
    EXPECT_EQ(L"true", patchAction("CheckValidMinorRelease", L"14.0.2.5", L"", L"14.0.3.0").property(L"R"));
    EXPECT_EQ(L"false", patchAction("CheckValidMinorRelease", L"", L"", L"14.0.3.0").property(L"R"));
}

} // namespace
