#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::detail {

inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// ASCII-only case folding: 'A'-'Z' become 'a'-'z', every other byte stays.
inline unsigned char FoldByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Finds one pattern in byte texts, exactly or with ASCII case folding.
//
// The scan filters candidate positions sixteen at a time on the pattern's
// first, second and last bytes and verifies the survivors. When verification
// costs more than a few comparisons per byte scanned (a repetitive pattern in
// repetitive text), it switches to Knuth-Morris-Pratt for the rest of the
// search, so every search is linear in the text it covers.
class Searcher {
 public:
  Searcher(std::string_view pattern, bool caseSensitive);

  std::size_t size() const { return pattern_.size(); }
  bool caseSensitive() const { return !fold_; }

  // Offset of the first match at or after `from`, or kNotFound.
  std::size_t Find(std::string_view text, std::size_t from) const;

  // Whether the pattern matches at the start of `head` followed by `tail`.
  bool MatchesJoined(std::string_view head, std::string_view tail) const;

  // Whether the pattern occurs anywhere in `text`.
  bool OccursIn(std::string_view text) const { return Find(text, 0) != kNotFound; }

 private:
  std::size_t FindFiltered(const unsigned char* text, std::size_t n, std::size_t from) const;
  std::size_t FindKmp(const unsigned char* text, std::size_t n, std::size_t from) const;
  bool Equal(const unsigned char* candidate) const;
  unsigned char Map(unsigned char c) const { return fold_ ? FoldByte(c) : c; }

  std::string pattern_;  // folded when case-insensitive
  bool fold_;
  std::vector<std::size_t> failure_;  // KMP failure function over pattern_
};

}  // namespace quillmere::detail
