#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text_search.h"

namespace quillmere::detail {

// Knuth-Morris-Pratt over one pattern, exact or folding ASCII letters. A state
// is the length of the longest suffix of the bytes read that is a prefix of
// the pattern; reaching size() is a match.
class PatternAutomaton {
 public:
  PatternAutomaton(std::string_view pattern, bool caseSensitive);

  std::uint32_t size() const { return static_cast<std::uint32_t>(pattern_.size()); }

  std::uint32_t Next(std::uint32_t state, char c) const {
    const auto x = fold_ ? static_cast<char>(FoldByte(static_cast<unsigned char>(c))) : c;
    if (state == size()) state = failure_[state - 1];
    while (state > 0 && pattern_[state] != x) state = failure_[state - 1];
    return pattern_[state] == x ? state + 1 : state;
  }

 private:
  std::string pattern_;  // folded unless case-sensitive
  bool fold_;
  std::vector<std::uint32_t> failure_;
};

}  // namespace quillmere::detail
