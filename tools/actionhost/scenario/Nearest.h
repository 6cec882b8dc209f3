// The words nearest to one that was not found, for messages that suggest
// what was meant.
#pragma once

#include <string>
#include <vector>

namespace actionhost {

// The number of single-character insertions, deletions and substitutions
// that turn a into b.
std::size_t editDistance(const std::string& a, const std::string& b);

// The candidate a misspelling most likely meant: the nearest by edit
// distance, when it lies within a third of the word's length (at least 1)
// or differs only in letter case; "" when none does.
std::string likelyMeant(const std::string& word, const std::vector<std::string>& candidates);

} // namespace actionhost
