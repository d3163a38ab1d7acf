#include "chain_filter.h"

#include <algorithm>
#include <bit>

#include "text_search.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define QUILLMERE_HAVE_SSE2 1
#endif

namespace quillmere::detail {
namespace {

// Deeper than this a pattern counts as occurring, so the tree stays small
// whatever the user types.
constexpr std::size_t kMaxDepth = 16;
constexpr std::size_t kMaxSeconds = 4;
constexpr std::size_t kMaxVectorFirstBytes = 6;

unsigned char Fold(char c) { return FoldByte(static_cast<unsigned char>(c)); }

bool IsLowerLetter(unsigned char c) { return c >= 'a' && c <= 'z'; }

}  // namespace

ChainFilter::ChainFilter(std::span<const Pattern> patterns) : nodes_(1) {
  std::bitset<256> before;  // first bytes of the stages so far
  for (const Pattern& pattern : patterns) {
    const unsigned char first = Fold(pattern.text.front());
    std::bitset<256> mine = before;
    if (pattern.looksBack) mine.set(first);
    upstream_[first] |= mine;
    before.set(first);
    Insert(pattern.text);
  }
  BuildFirstBytes();
}

void ChainFilter::Insert(std::string_view pattern) {
  std::size_t node = 0;
  for (std::size_t depth = 0; depth < pattern.size(); ++depth) {
    if (depth == kMaxDepth) {
      nodes_[node].stop = true;
      return;
    }
    const unsigned char c = Fold(pattern[depth]);
    if (nodes_[node].child[c] == 0) {
      nodes_[node].child[c] = static_cast<std::uint16_t>(nodes_.size());
      nodes_.emplace_back();
    }
    node = nodes_[node].child[c];
  }
  nodes_[node].stop = true;
}

void ChainFilter::BuildFirstBytes() {
  for (unsigned c = 0; c < 256; ++c) {
    const std::uint16_t node = nodes_[0].child[c];
    if (node == 0) continue;
    FirstByte entry{static_cast<unsigned char>(c), {}};
    if (!nodes_[node].stop) {
      // A position is of interest only if the next byte goes on along a
      // pattern or could be where an earlier stage edits.
      for (unsigned d = 0; d < 256; ++d) {
        if (nodes_[node].child[d] != 0 || upstream_[c][d]) {
          entry.seconds.push_back(static_cast<unsigned char>(d));
        }
      }
      if (entry.seconds.size() > kMaxSeconds) entry.seconds.clear();
    }
    firstBytes_.push_back(entry);
  }
}

bool ChainFilter::Skippable(std::string_view text, std::size_t p) const {
  const unsigned char first = Fold(text[p]);
  std::size_t node = nodes_[0].child[first];
  std::size_t depth = 1;
  if (nodes_[node].stop) return false;
  while (p + depth < text.size()) {
    const std::size_t next = nodes_[node].child[Fold(text[p + depth])];
    if (next == 0) break;
    node = next;
    ++depth;
    if (nodes_[node].stop) return false;
  }
  // The prefix shared with some pattern, and the byte that ended it.
  const std::size_t last = std::min(p + depth, text.size() - 1);
  for (std::size_t q = p + 1; q <= last; ++q) {
    if (upstream_[first][Fold(text[q])]) return false;
  }
  return true;
}

std::size_t ChainFilter::ScanScalar(std::string_view text, std::size_t from) const {
  for (std::size_t p = from; p < text.size(); ++p) {
    if (nodes_[0].child[Fold(text[p])] != 0 && !Skippable(text, p)) return p;
  }
  return text.size();
}

#ifdef QUILLMERE_HAVE_SSE2
namespace {

// A folded byte to compare with: text bytes are OR-ed with 0x20 first when it
// is a letter, which maps no other byte onto a lowercase letter.
struct VectorByte {
  __m128i value;
  __m128i orMask;
};

VectorByte MakeVectorByte(unsigned char folded) {
  return {_mm_set1_epi8(static_cast<char>(folded)),
          _mm_set1_epi8(static_cast<char>(IsLowerLetter(folded) ? 0x20 : 0))};
}

__m128i Equal(__m128i bytes, const VectorByte& b) {
  return _mm_cmpeq_epi8(_mm_or_si128(bytes, b.orMask), b.value);
}

}  // namespace
#endif

std::size_t ChainFilter::NextStop(std::string_view text, std::size_t from) const {
#ifdef QUILLMERE_HAVE_SSE2
  if (firstBytes_.size() > kMaxVectorFirstBytes) return ScanScalar(text, from);
  struct Term {
    VectorByte first;
    std::array<VectorByte, kMaxSeconds> seconds;
    std::size_t secondCount;
  };
  std::array<Term, kMaxVectorFirstBytes> terms;
  const std::size_t termCount = firstBytes_.size();
  for (std::size_t t = 0; t < termCount; ++t) {
    const FirstByte& entry = firstBytes_[t];
    terms[t].first = MakeVectorByte(entry.folded);
    terms[t].secondCount = entry.seconds.size();
    for (std::size_t k = 0; k < entry.seconds.size(); ++k) {
      terms[t].seconds[k] = MakeVectorByte(entry.seconds[k]);
    }
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t i = from;
  // Each block also reads the byte after it, for the second bytes.
  for (; i + 17 <= text.size(); i += 16) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + 1));
    __m128i hits = _mm_setzero_si128();
    for (std::size_t t = 0; t < termCount; ++t) {
      const Term& term = terms[t];
      __m128i hit = Equal(here, term.first);
      if (term.secondCount != 0) {
        __m128i second = _mm_setzero_si128();
        for (std::size_t k = 0; k < term.secondCount; ++k) {
          second = _mm_or_si128(second, Equal(after, term.seconds[k]));
        }
        hit = _mm_and_si128(hit, second);
      }
      hits = _mm_or_si128(hits, hit);
    }
    for (auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(hits)); mask != 0;
         mask &= mask - 1) {
      const std::size_t p = i + static_cast<std::size_t>(std::countr_zero(mask));
      if (!Skippable(text, p)) return p;
    }
  }
  return ScanScalar(text, i);
#else
  return ScanScalar(text, from);
#endif
}

}  // namespace quillmere::detail
