#include "text_search.h"

#include <cstdint>

#include "text_scan.h"
#include "vector_lanes.h"

namespace quillmere::detail {
namespace {

std::vector<std::size_t> BuildFailure(const std::string& pattern) {
  std::vector<std::size_t> failure(pattern.size(), 0);
  std::size_t k = 0;
  for (std::size_t q = 1; q < pattern.size(); ++q) {
    while (k > 0 && pattern[k] != pattern[q]) k = failure[k - 1];
    if (pattern[k] == pattern[q]) ++k;
    failure[q] = k;
  }
  return failure;
}

// Scans as many whole blocks as the widest available vector unit allows.
BlockScan ScanBlocks(const TextPattern& pattern, const unsigned char* text, std::size_t from,
                     std::size_t last) {
#if defined(QUILLMERE_AVX2_SCAN) && defined(QUILLMERE_HAVE_AVX2_DISPATCH)
  if (HasAvx2()) {
    BlockScan wide = ScanTextBlocksAvx2(pattern, text, from, last);
    if (wide.match != kNotFound || wide.giveUp) return wide;
    // Finish the last few offsets with the narrower unit, keeping the count.
    BlockScan narrow = ScanTextBlocks<Sse2Lanes>(pattern, text, wide.next, last);
    narrow.verified += wide.verified;
    return narrow;
  }
#endif
#ifdef QUILLMERE_HAVE_SSE2
  return ScanTextBlocks<Sse2Lanes>(pattern, text, from, last);
#else
  BlockScan none;
  none.next = from;
  return none;
#endif
}

}  // namespace

Searcher::Searcher(std::string_view pattern, bool caseSensitive)
    : pattern_(pattern), fold_(!caseSensitive) {
  if (fold_) {
    for (char& c : pattern_) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
  }
  failure_ = BuildFailure(pattern_);
}

bool Searcher::Equal(const unsigned char* candidate) const {
  return EqualAt({reinterpret_cast<const unsigned char*>(pattern_.data()), pattern_.size(), fold_},
                 candidate);
}

bool Searcher::MatchesJoined(std::string_view head, std::string_view tail) const {
  const std::size_t m = pattern_.size();
  if (head.size() >= m) return Equal(reinterpret_cast<const unsigned char*>(head.data()));
  if (tail.size() < m - head.size()) return false;
  for (std::size_t k = 0; k < m; ++k) {
    const char c = k < head.size() ? head[k] : tail[k - head.size()];
    if (Map(static_cast<unsigned char>(c)) != static_cast<unsigned char>(pattern_[k])) return false;
  }
  return true;
}

std::size_t Searcher::Find(std::string_view text, std::size_t from) const {
  const std::size_t n = text.size();
  const std::size_t m = pattern_.size();
  if (from > n) return kNotFound;
  if (m == 0) return from;
  if (n - from < m) return kNotFound;
  return FindFiltered(reinterpret_cast<const unsigned char*>(text.data()), n, from);
}

std::size_t Searcher::FindFiltered(const unsigned char* text, std::size_t n,
                                   std::size_t from) const {
  const std::size_t m = pattern_.size();
  const std::size_t last = n - m;  // the last offset where a match can begin
  const TextPattern pattern{reinterpret_cast<const unsigned char*>(pattern_.data()), m, fold_};
  const BlockScan scan = ScanBlocks(pattern, text, from, last);
  if (scan.match != kNotFound) return scan.match;
  if (scan.giveUp) return FindKmp(text, n, scan.next);

  std::size_t verified = scan.verified;
  for (std::size_t i = scan.next; i <= last; ++i) {
    if (Map(text[i]) != pattern.bytes[0] || Map(text[i + m - 1]) != pattern.bytes[m - 1]) continue;
    if (Equal(text + i)) return i;
    verified += m;
    if (OverBudget(verified, i + 1 - from)) return FindKmp(text, n, i + 1);
  }
  return kNotFound;
}

std::size_t Searcher::FindKmp(const unsigned char* text, std::size_t n, std::size_t from) const {
  const std::size_t m = pattern_.size();
  std::size_t matched = 0;
  for (std::size_t i = from; i < n; ++i) {
    const auto c = static_cast<char>(Map(text[i]));
    while (matched > 0 && pattern_[matched] != c) matched = failure_[matched - 1];
    if (pattern_[matched] == c) ++matched;
    if (matched == m) return i + 1 - m;
  }
  return kNotFound;
}

}  // namespace quillmere::detail
