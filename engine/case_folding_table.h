#pragma once

#include <cstddef>

namespace quillmere::detail {

// One character and its simple case folding, sorted by `from`.
struct CaseFoldingPair {
  char32_t from;
  char32_t to;
};

extern const CaseFoldingPair kCaseFoldingPairs[];
extern const std::size_t kCaseFoldingPairCount;

}  // namespace quillmere::detail
