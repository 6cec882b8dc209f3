// An index of a growing text that answers "does the text contain this
// pattern anywhere?" in time proportional to the pattern: a suffix automaton
// built online, so appending costs amortised constant time per character.
#pragma once

#include <string>
#include <utility>
#include <vector>

class SubstringIndex {
public:
    SubstringIndex();

    void append(const std::wstring& text);

    // True when pattern occurs in the text appended so far; the empty
    // pattern always does.
    bool contains(const std::wstring& pattern) const;

private:
    struct State {
        int length;
        int link;
        std::vector<std::pair<wchar_t, int> > next;  // few per state: a linear map
    };

    int transition(int state, wchar_t c) const;
    void setTransition(int state, wchar_t c, int target);
    void extend(wchar_t c);

    std::vector<State> states_;
    int last_;
};
