// GetProductPatchLevel: the chosen installed revision, written without a log line.
#include "ActionTest.h"

#include "PatchLevelCase.h"

using testing_support::Outcome;
using testing_support::patchAction;

namespace {

TEST(GetProductPatchLevel, WritesTheChoiceWithoutLogging)
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

} // namespace
