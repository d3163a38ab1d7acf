#include "text_search.h"

#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define QUILLMERE_HAVE_SSE2 1
#endif

namespace quillmere::detail {
namespace {

// Verification may cost this many compared bytes per byte scanned (plus a
// fixed allowance) before the search falls back to Knuth-Morris-Pratt.
constexpr std::size_t kVerifyBytesPerScannedByte = 4;
constexpr std::size_t kVerifyAllowance = 256;

bool IsLowerLetter(unsigned char c) {
  return c >= 'a' && c <= 'z';
}

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

#ifdef QUILLMERE_HAVE_SSE2
// Compares sixteen text bytes with one pattern byte. A folded lowercase letter
// matches both cases: OR-ing 0x20 maps only 'X' and 'x' onto 'x'.
struct ByteFilter {
  __m128i orMask;
  __m128i value;

  ByteFilter(unsigned char patternByte, bool fold)
      : orMask(_mm_set1_epi8(static_cast<char>(fold && IsLowerLetter(patternByte) ? 0x20 : 0))),
        value(_mm_set1_epi8(static_cast<char>(patternByte))) {}

  __m128i Match(const unsigned char* at) const {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_cmpeq_epi8(_mm_or_si128(bytes, orMask), value);
  }
};

int LowestBit(unsigned mask) {
#if defined(_MSC_VER) && !defined(__clang__)
  unsigned long index;
  _BitScanForward(&index, mask);
  return static_cast<int>(index);
#else
  return __builtin_ctz(mask);
#endif
}
#endif

}  // namespace

Searcher::Searcher(std::string_view pattern, bool caseSensitive)
    : pattern_(pattern), fold_(!caseSensitive) {
  if (fold_) {
    for (char& c : pattern_) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
  }
  failure_ = BuildFailure(pattern_);
}

bool Searcher::Equal(const unsigned char* candidate) const {
  const auto* p = reinterpret_cast<const unsigned char*>(pattern_.data());
  const std::size_t m = pattern_.size();
  if (!fold_) return std::memcmp(candidate, p, m) == 0;
  for (std::size_t k = 0; k < m; ++k) {
    if (FoldByte(candidate[k]) != p[k]) return false;
  }
  return true;
}

bool Searcher::MatchesAt(std::string_view text, std::size_t pos) const {
  if (pos > text.size() || text.size() - pos < pattern_.size()) return false;
  return Equal(reinterpret_cast<const unsigned char*>(text.data()) + pos);
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
  const auto* p = reinterpret_cast<const unsigned char*>(pattern_.data());
  const std::size_t secondOffset = m > 1 ? 1 : 0;
  std::size_t verified = 0;
  std::size_t i = from;

#ifdef QUILLMERE_HAVE_SSE2
  const ByteFilter first(p[0], fold_);
  const ByteFilter second(p[secondOffset], fold_);
  const ByteFilter final(p[m - 1], fold_);
  while (i <= last && last - i >= 15) {
    const __m128i hits =
        _mm_and_si128(_mm_and_si128(first.Match(text + i), second.Match(text + i + secondOffset)),
                      final.Match(text + i + m - 1));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    while (mask != 0) {
      const std::size_t candidate = i + static_cast<std::size_t>(LowestBit(mask));
      if (Equal(text + candidate)) return candidate;
      verified += m;
      mask &= mask - 1;
    }
    i += 16;
    if (verified > kVerifyBytesPerScannedByte * (i - from) + kVerifyAllowance) {
      return FindKmp(text, n, i);
    }
  }
#endif
  for (; i <= last; ++i) {
    if (Map(text[i]) != p[0] || Map(text[i + m - 1]) != p[m - 1]) continue;
    if (Equal(text + i)) return i;
    verified += m;
    if (verified > kVerifyBytesPerScannedByte * (i + 1 - from) + kVerifyAllowance) {
      return FindKmp(text, n, i + 1);
    }
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
