// The feature tree as actionhost run --tree draws it.
#include "ActionTest.h"

#include "show/Tree.h"

#include <sstream>

namespace {

using testing_support::feature;

// root
// |-- A (reached, requested Install)
// |   `-- A1 (reached)
// `-- B (disabled, never reached)
//     `-- B.1 (never reached; its id holds a dot)
hosting::FeatureModel sample()
{
    hosting::FeatureModel root = feature(L"root", {feature(L"A", {feature(L"A1")}), feature(L"B", {feature(L"B.1")})});
    root.children[0].installed = 1;
    root.children[0].installing = 4;
    root.children[0].defaultState = 1;
    root.children[0].children[0].marker = 2;
    root.children[1].enabled = false;
    root.children[1].children[0].defaultState = 2;
    return root;
}

hosting::RunRecord record()
{
    hosting::RunRecord run;
    run.calls = {"Log:0", "GetRootFeature", "root.GetId", "root.GetChildren", "A.GetId", "A.SetRequestedState:1",
                 "A1.GetId", "GetParameter:B.1"};
    run.featureStates[L"A"] = 1;
    return run;
}

TEST(FeatureTreePicture, PlainShowsStatesAsWordsTheRequestAndTheNodesNeverReached)
{
    std::ostringstream out;
    actionhost::printTree(out, sample(), record(), false);
    EXPECT_EQ("feature tree (as before the call; what the action requested, and the nodes it never reached):\n"
              "  root  enabled, installed: absent, installing: nochange, default: off\n"
              "  |-- A  enabled, installed: installed, installing: repair, default: on  => requested: Install (1)\n"
              "  |   `-- A1  enabled, installed: absent, installing: nochange, default: off, marker: 2\n"
              "  `-- B  disabled, installed: absent, installing: nochange, default: off  (not reached)\n"
              "      `-- B.1  enabled, installed: absent, installing: nochange, default: off (2)  (not reached)\n",
              out.str());
}

TEST(FeatureTreePicture, ColourMarksLevelsTheRequestAndWhatWasNeverReached)
{
    std::ostringstream out;
    actionhost::printTree(out, sample(), record(), true);
    const std::string text = out.str();
    EXPECT_NE(std::string::npos, text.find("  \x1b[36mroot\x1b[0m  enabled"));
    EXPECT_NE(std::string::npos, text.find("|-- \x1b[34mA\x1b[0m"));
    EXPECT_NE(std::string::npos, text.find("`-- \x1b[35mA1\x1b[0m"));
    EXPECT_NE(std::string::npos, text.find("\x1b[32m=> requested: Install (1)\x1b[0m\n"));
    EXPECT_NE(std::string::npos, text.find("\x1b[2m(not reached)\x1b[0m\n"));
    EXPECT_NE(std::string::npos, text.find("\x1b[2mdisabled, installed: absent"));
}

TEST(FeatureTreePicture, IdsPrintEscapedOnOneLineAndUnknownCodesByNumber)
{
    // A line break and an escape sequence in an id reach neither the
    // picture's layout nor the terminal; a code without a word is unknown.
    hosting::FeatureModel root = feature(L"root", {feature(L"line\nbreak \x1b[31mred")});
    root.installed = 9;
    root.installing = -2147483647 - 1;
    std::ostringstream out;
    actionhost::printTree(out, root, hosting::RunRecord(), false);
    EXPECT_EQ("feature tree (as before the call; what the action requested, and the nodes it never reached):\n"
              "  root  enabled, installed: unknown (9), installing: unknown (-2147483648), default: off  (not reached)\n"
              "  `-- \"line\\nbreak \\u001B[31mred\"  enabled, installed: absent, installing: nochange, default: off  "
              "(not reached)\n",
              out.str());
}

} // namespace
