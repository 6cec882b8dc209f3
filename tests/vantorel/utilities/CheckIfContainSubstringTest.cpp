// CheckIfContainSubstring: the case-sensitive test and its two messages.
#include "ActionTest.h"

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runVantorel;

namespace {

Outcome substring(const std::wstring& text, const std::wstring& part)
{
    HostModel model;
    model.parameters[L"String"] = text;
    model.parameters[L"Substring"] = part;
    model.parameters[L"WriteProperty"] = L"FOUND";
    return runVantorel("CheckIfContainSubstring", model);
}

TEST(CheckIfContainSubstring, CaseSensitiveWithTwoMessageForms)
{
    Outcome found = substring(L"setup.exe", L".exe");
    EXPECT_EQ(L"true", found.property(L"FOUND"));
    EXPECT_EQ((Log{{2, L"CheckIfContainSubstring -  \n[String]: setup.exe\n[Contains Substring]: .exe\n"}}),
              found.log());
    Outcome missing = substring(L"setup.exe", L"EXE");
    EXPECT_EQ(L"false", missing.property(L"FOUND"));
    EXPECT_EQ((Log{{2, L"CheckIfContainSubstring - \n[String]: setup.exe\n[Does Not Contains Substring]: EXE\n"}}),
              missing.log());
    EXPECT_EQ(L"true", substring(L"", L"").property(L"FOUND"));
    EXPECT_EQ(L"false", substring(L"", L"x").property(L"FOUND"));
    // The three reads in order, then the line, then the answer.
    const std::vector<std::string> calls{"GetParameter:String", "GetParameter:Substring", "GetParameter:WriteProperty",
                                         "Log:2", "SetProperty:FOUND"};
    EXPECT_EQ(calls, found.record.calls);
    EXPECT_EQ(calls, missing.record.calls);
}

} // namespace
