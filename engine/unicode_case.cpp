#include "unicode_case.h"

#include <algorithm>

#include "case_folding_table.h"

namespace quillmere {

char32_t SimpleCaseFold(char32_t character) {
  if (character < 0x80) {
    return (character >= 'A' && character <= 'Z') ? character + ('a' - 'A') : character;
  }
  const detail::CaseFoldingPair* end = detail::kCaseFoldingPairs + detail::kCaseFoldingPairCount;
  const detail::CaseFoldingPair* found = std::lower_bound(
      detail::kCaseFoldingPairs, end, character,
      [](const detail::CaseFoldingPair& pair, char32_t c) { return pair.from < c; });
  return found != end && found->from == character ? found->to : character;
}

}  // namespace quillmere
