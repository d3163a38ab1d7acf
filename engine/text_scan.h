#pragma once

// The block scan of Searcher (text_search.cpp), written once over the width
// of a vector unit (see vector_lanes.h). The helpers have internal linkage:
// this header is also built for AVX2, and those copies must stay apart.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "text_search.h"

namespace quillmere::detail {

// Verification may cost this many compared bytes per byte scanned (plus a
// fixed allowance) before the search falls back to Knuth-Morris-Pratt.
inline constexpr std::size_t kVerifyBytesPerScannedByte = 4;
inline constexpr std::size_t kVerifyAllowance = 256;

// What the block scans need to know of the pattern.
struct TextPattern {
  const unsigned char* bytes;  // folded when `fold`
  std::size_t size;
  bool fold;
};

// Where a scan of whole blocks ended: at a match, or at `next` with the
// verification work done so far, or giving up to the linear fallback.
struct BlockScan {
  std::size_t match = kNotFound;
  std::size_t next = 0;
  std::size_t verified = 0;
  bool giveUp = false;
};

#if defined(__GNUC__) || defined(__clang__)
#define QUILLMERE_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define QUILLMERE_ALWAYS_INLINE inline
#endif

static QUILLMERE_ALWAYS_INLINE bool EqualAt(const TextPattern& pattern,
                                            const unsigned char* candidate) {
  if (!pattern.fold) return std::memcmp(candidate, pattern.bytes, pattern.size) == 0;
  for (std::size_t k = 0; k < pattern.size; ++k) {
    if (FoldByte(candidate[k]) != pattern.bytes[k]) return false;
  }
  return true;
}

static inline bool OverBudget(std::size_t verified, std::size_t scanned) {
  return verified > kVerifyBytesPerScannedByte * scanned + kVerifyAllowance;
}

// Verifies the candidates whose bits are set in `mask`, offsets from `base`.
static QUILLMERE_ALWAYS_INLINE bool VerifyMask(const TextPattern& pattern,
                                               const unsigned char* text, std::size_t base,
                                               std::uint32_t mask, BlockScan& scan) {
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

// Filters the offsets from `from` to `last` a block at a time on the
// pattern's first, second and last bytes, and verifies the survivors. A text
// byte is OR-ed with 0x20 before it is compared with a folded lowercase
// letter: that matches both cases, and maps no other byte onto the letter.
template <class Lanes>
BlockScan ScanTextBlocks(const TextPattern& pattern, const unsigned char* text, std::size_t from,
                         std::size_t last) {
  using V = typename Lanes::V;
  constexpr std::size_t kWidth = Lanes::kWidth;
  const std::size_t m = pattern.size;
  const std::size_t second = m > 1 ? 1 : 0;
  const auto orMask = [&](std::size_t offset) {
    const unsigned char c = pattern.bytes[offset];
    return Lanes::Splat(pattern.fold && c >= 'a' && c <= 'z' ? 0x20 : 0);
  };
  const V v0 = Lanes::Splat(pattern.bytes[0]), o0 = orMask(0);
  const V v1 = Lanes::Splat(pattern.bytes[second]), o1 = orMask(second);
  const V v2 = Lanes::Splat(pattern.bytes[m - 1]), o2 = orMask(m - 1);
  const auto fits = [](const unsigned char* at, V mask, V value) {
    return Lanes::Equal(Lanes::Or(Lanes::Load(at), mask), value);
  };
  BlockScan scan;
  std::size_t i = from;
  for (; i <= last && last - i >= kWidth - 1; i += kWidth) {
    const unsigned char* at = text + i;
    const V hits = Lanes::And(Lanes::And(fits(at, o0, v0), fits(at + second, o1, v1)),
                              fits(at + m - 1, o2, v2));
    const std::uint32_t mask = Lanes::Mask(hits);
    if (mask != 0 && VerifyMask(pattern, text, i, mask, scan)) return scan;
    if (OverBudget(scan.verified, i + kWidth - from)) {
      scan.giveUp = true;
      i += kWidth;
      break;
    }
  }
  scan.next = i;
  return scan;
}

// The same with 32-byte vectors, in a file built for AVX2; call it only when
// the processor has AVX2.
BlockScan ScanTextBlocksAvx2(const TextPattern& pattern, const unsigned char* text,
                             std::size_t from, std::size_t last);

}  // namespace quillmere::detail
