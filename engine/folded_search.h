#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace quillmere::detail {

// Where a match lies, in bytes: [start, end).
struct FoldedMatch {
  std::size_t start;
  std::size_t end;
};

// Finds a UTF-8 pattern in UTF-8 text with Unicode simple case folding on
// both sides, so a match may be longer or shorter in bytes than the pattern
// ("K", "k" and the Kelvin sign are one letter). Text is decoded from the
// offset a search starts at; a byte that starts no valid sequence is a
// character of its own that matches only itself. Knuth-Morris-Pratt over
// the folded characters keeps every search linear in the text it covers.
class FoldedSearcher {
 public:
  explicit FoldedSearcher(std::string_view pattern);

  // The pattern's length in characters (at least 1 for a non-empty pattern).
  std::size_t length() const { return pattern_.size(); }

  // The first match that starts at or after `from`, or nothing.
  std::optional<FoldedMatch> Find(std::string_view text, std::size_t from) const;

 private:
  std::vector<char32_t> pattern_;  // folded characters
  std::vector<std::size_t> failure_;
};

// The length in bytes of the first `count` characters from `at` (fewer at
// the end of the text), decoded as FoldedSearcher decodes them.
std::size_t CharacterBytes(std::string_view text, std::size_t at, std::size_t count);

}  // namespace quillmere::detail
