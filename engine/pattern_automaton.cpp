#include "pattern_automaton.h"

namespace quillmere::detail {

PatternAutomaton::PatternAutomaton(std::string_view pattern, bool caseSensitive)
    : pattern_(pattern), fold_(!caseSensitive), failure_(pattern.size(), 0) {
  if (fold_) {
    for (char& c : pattern_) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
  }
  std::uint32_t k = 0;
  for (std::size_t q = 1; q < pattern_.size(); ++q) {
    while (k > 0 && pattern_[k] != pattern_[q]) k = failure_[k - 1];
    if (pattern_[k] == pattern_[q]) ++k;
    failure_[q] = k;
  }
}

}  // namespace quillmere::detail
