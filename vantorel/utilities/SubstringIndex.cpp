// The suffix automaton of a growing text.
#include "utilities/SubstringIndex.h"

SubstringIndex::SubstringIndex() : last_(0)
{
    states_.push_back(State{0, -1, {}});
}

int SubstringIndex::transition(int state, wchar_t c) const
{
    for (const auto& edge : states_[state].next)
        if (edge.first == c)
            return edge.second;
    return -1;
}

void SubstringIndex::setTransition(int state, wchar_t c, int target)
{
    for (auto& edge : states_[state].next) {
        if (edge.first == c) {
            edge.second = target;
            return;
        }
    }
    states_[state].next.emplace_back(c, target);
}

void SubstringIndex::extend(wchar_t c)
{
    const int current = static_cast<int>(states_.size());
    states_.push_back(State{states_[last_].length + 1, -1, {}});
    int p = last_;
    while (p != -1 && transition(p, c) == -1) {
        setTransition(p, c, current);
        p = states_[p].link;
    }
    if (p == -1) {
        states_[current].link = 0;
    } else {
        const int q = transition(p, c);
        if (states_[p].length + 1 == states_[q].length) {
            states_[current].link = q;
        } else {
            const int clone = static_cast<int>(states_.size());
            State copy{states_[p].length + 1, states_[q].link, states_[q].next};
            states_.push_back(std::move(copy));
            while (p != -1 && transition(p, c) == q) {
                setTransition(p, c, clone);
                p = states_[p].link;
            }
            states_[q].link = clone;
            states_[current].link = clone;
        }
    }
    last_ = current;
}

void SubstringIndex::append(const std::wstring& text)
{
    for (wchar_t c : text)
        extend(c);
}

bool SubstringIndex::contains(const std::wstring& pattern) const
{
    int state = 0;
    for (wchar_t c : pattern) {
        state = transition(state, c);
        if (state == -1)
            return false;
    }
    return true;
}
