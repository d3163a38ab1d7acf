#include "folded_search.h"

#include "unicode_case.h"
#include "utf8_text.h"

namespace quillmere::detail {
namespace {

char32_t FoldedAt(std::string_view text, std::size_t& at) {
  return SimpleCaseFold(DecodeUtf8(text, at));
}

}  // namespace

FoldedSearcher::FoldedSearcher(std::string_view pattern) {
  for (std::size_t at = 0; at < pattern.size();) pattern_.push_back(FoldedAt(pattern, at));
  failure_.assign(pattern_.size(), 0);
  std::size_t k = 0;
  for (std::size_t q = 1; q < pattern_.size(); ++q) {
    while (k > 0 && pattern_[k] != pattern_[q]) k = failure_[k - 1];
    if (pattern_[k] == pattern_[q]) ++k;
    failure_[q] = k;
  }
}

std::optional<FoldedMatch> FoldedSearcher::Find(std::string_view text, std::size_t from) const {
  const std::size_t m = pattern_.size();
  if (m == 0 || from > text.size()) return std::nullopt;
  // Where each of the last m characters started, by character number mod m.
  std::vector<std::size_t> starts(m);
  std::size_t matched = 0;
  std::size_t count = 0;
  for (std::size_t at = from; at < text.size();) {
    starts[count % m] = at;
    ++count;
    const char32_t c = FoldedAt(text, at);
    while (matched > 0 && pattern_[matched] != c) matched = failure_[matched - 1];
    if (pattern_[matched] == c) ++matched;
    if (matched == m) return FoldedMatch{starts[(count - m) % m], at};
  }
  return std::nullopt;
}

std::size_t CharacterBytes(std::string_view text, std::size_t at, std::size_t count) {
  std::size_t end = at;
  for (std::size_t i = 0; i < count && end < text.size(); ++i) DecodeUtf8(text, end);
  return end - at;
}

}  // namespace quillmere::detail
