#include "text_search.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "vector_support.h"

namespace quillmere::detail {
namespace {

// Verification may cost this many compared bytes per byte scanned (plus a
// fixed allowance) before the search falls back to Knuth-Morris-Pratt.
constexpr std::size_t kVerifyBytesPerScannedByte = 4;
constexpr std::size_t kVerifyAllowance = 256;

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

// What the block scans need to know of the pattern.
struct Pattern {
  const unsigned char* bytes;  // folded when `fold`
  std::size_t size;
  bool fold;
};

#if defined(__GNUC__) || defined(__clang__)
#define QUILLMERE_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define QUILLMERE_ALWAYS_INLINE inline
#endif

QUILLMERE_ALWAYS_INLINE bool EqualAt(const Pattern& pattern, const unsigned char* candidate) {
  if (!pattern.fold) return std::memcmp(candidate, pattern.bytes, pattern.size) == 0;
  for (std::size_t k = 0; k < pattern.size; ++k) {
    if (FoldByte(candidate[k]) != pattern.bytes[k]) return false;
  }
  return true;
}

// Where a scan of whole blocks ended: at a match, or at `next` with the
// verification work done so far, or giving up to the linear fallback.
struct BlockScan {
  std::size_t match = kNotFound;
  std::size_t next = 0;
  std::size_t verified = 0;
  bool giveUp = false;
};

bool OverBudget(std::size_t verified, std::size_t scanned) {
  return verified > kVerifyBytesPerScannedByte * scanned + kVerifyAllowance;
}

// Verifies the candidates whose bits are set in `mask`, offsets from `base`.
QUILLMERE_ALWAYS_INLINE bool VerifyMask(const Pattern& pattern, const unsigned char* text,
                                        std::size_t base, std::uint32_t mask, BlockScan& scan) {
  while (mask != 0) {
    const std::size_t candidate = base + static_cast<std::size_t>(std::countr_zero(mask));
    if (EqualAt(pattern, text + candidate)) {
      scan.match = candidate;
      return true;
    }
    scan.verified += pattern.size;
    mask &= mask - 1;
  }
  return false;
}

// The byte a block compares with the text at `offset`, and whether a text
// byte is OR-ed with 0x20 first: a folded lowercase letter matches both cases
// that way, and OR-ing maps no other byte onto a lowercase letter.
struct FilterByte {
  char value;
  char orMask;
};

FilterByte MakeFilterByte(const Pattern& pattern, std::size_t offset) {
  const unsigned char c = pattern.bytes[offset];
  const bool letter = pattern.fold && c >= 'a' && c <= 'z';
  return {static_cast<char>(c), static_cast<char>(letter ? 0x20 : 0)};
}

#ifdef QUILLMERE_HAVE_SSE2
BlockScan ScanSse2(const Pattern& pattern, const unsigned char* text, std::size_t from,
                   std::size_t last) {
  const std::size_t m = pattern.size;
  const std::size_t second = m > 1 ? 1 : 0;
  const FilterByte f[3] = {MakeFilterByte(pattern, 0), MakeFilterByte(pattern, second),
                           MakeFilterByte(pattern, m - 1)};
  const __m128i v0 = _mm_set1_epi8(f[0].value), o0 = _mm_set1_epi8(f[0].orMask);
  const __m128i v1 = _mm_set1_epi8(f[1].value), o1 = _mm_set1_epi8(f[1].orMask);
  const __m128i v2 = _mm_set1_epi8(f[2].value), o2 = _mm_set1_epi8(f[2].orMask);
  const auto match = [&](const unsigned char* at, __m128i orMask, __m128i value) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_cmpeq_epi8(_mm_or_si128(bytes, orMask), value);
  };
  BlockScan scan;
  std::size_t i = from;
  for (; i <= last && last - i >= 15; i += 16) {
    const unsigned char* at = text + i;
    const __m128i hits = _mm_and_si128(_mm_and_si128(match(at, o0, v0), match(at + second, o1, v1)),
                                       match(at + m - 1, o2, v2));
    const auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
    if (mask != 0 && VerifyMask(pattern, text, i, mask, scan)) return scan;
    if (OverBudget(scan.verified, i + 16 - from)) {
      scan.giveUp = true;
      i += 16;
      break;
    }
  }
  scan.next = i;
  return scan;
}
#endif

#ifdef QUILLMERE_HAVE_AVX2_DISPATCH
__attribute__((target("avx2"))) BlockScan ScanAvx2(const Pattern& pattern,
                                                   const unsigned char* text, std::size_t from,
                                                   std::size_t last) {
  const std::size_t m = pattern.size;
  const std::size_t second = m > 1 ? 1 : 0;
  const FilterByte f[3] = {MakeFilterByte(pattern, 0), MakeFilterByte(pattern, second),
                           MakeFilterByte(pattern, m - 1)};
  const __m256i v0 = _mm256_set1_epi8(f[0].value), o0 = _mm256_set1_epi8(f[0].orMask);
  const __m256i v1 = _mm256_set1_epi8(f[1].value), o1 = _mm256_set1_epi8(f[1].orMask);
  const __m256i v2 = _mm256_set1_epi8(f[2].value), o2 = _mm256_set1_epi8(f[2].orMask);
  BlockScan scan;
  std::size_t i = from;
  for (; i <= last && last - i >= 31; i += 32) {
    const unsigned char* at = text + i;
    const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + second));
    const __m256i b2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + m - 1));
    const __m256i hits =
        _mm256_and_si256(_mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(b0, o0), v0),
                                          _mm256_cmpeq_epi8(_mm256_or_si256(b1, o1), v1)),
                         _mm256_cmpeq_epi8(_mm256_or_si256(b2, o2), v2));
    const auto mask = static_cast<std::uint32_t>(_mm256_movemask_epi8(hits));
    if (mask != 0 && VerifyMask(pattern, text, i, mask, scan)) return scan;
    if (OverBudget(scan.verified, i + 32 - from)) {
      scan.giveUp = true;
      i += 32;
      break;
    }
  }
  scan.next = i;
  return scan;
}
#endif

// Scans as many whole blocks as the widest available vector unit allows.
BlockScan ScanBlocks(const Pattern& pattern, const unsigned char* text, std::size_t from,
                     std::size_t last) {
#ifdef QUILLMERE_HAVE_AVX2_DISPATCH
  if (HasAvx2()) {
    BlockScan wide = ScanAvx2(pattern, text, from, last);
    if (wide.match != kNotFound || wide.giveUp) return wide;
    // Finish the last few offsets with the narrower unit, keeping the count.
    BlockScan narrow = ScanSse2(pattern, text, wide.next, last);
    narrow.verified += wide.verified;
    return narrow;
  }
#endif
#ifdef QUILLMERE_HAVE_SSE2
  return ScanSse2(pattern, text, from, last);
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
  const Pattern pattern{reinterpret_cast<const unsigned char*>(pattern_.data()), m, fold_};
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
