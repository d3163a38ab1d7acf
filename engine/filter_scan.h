#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "chain_filter.h"

namespace quillmere::detail {

// The vector loop of ChainFilter::NextStop, written once over the width of
// a vector unit. `Lanes` supplies the vector type V, its width kWidth in bytes
// and the operations Load, Broadcast (of a 16-byte VectorByte array), Or, And,
// Equal, Zero and Mask (one bit per byte). Scans whole blocks only: returns
// the first stop found, or sets `next` to where the blocks ended and returns
// the size of `text`. `last` keeps the block where a stop was found, so the
// next call, which starts just after that stop, need not scan it again.
template <class Lanes>
std::size_t ScanBlocksForStops(const ChainFilter& filter, std::span<const FilterTerm> terms,
                               std::string_view text, std::size_t from, std::size_t& next,
                               ScannedBlock& last) {
  using V = typename Lanes::V;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const auto equal = [](V block, const VectorByte& b) {
    if (b.letter) block = Lanes::Or(block, Lanes::Broadcast(b.orMask));
    return Lanes::Equal(block, Lanes::Broadcast(b.value));
  };
  // ChainFilter::Skippable, here where the compiler can inline it: two steps
  // of the walk without a test first, as most positions end there. A byte
  // where an earlier stage may edit is left to the full walk, which clears it.
  const ChainFilter::Verdicts* verdicts = filter.verdicts();
  const ChainFilter::End* ends = filter.ends();
  const auto skippable = [&](std::size_t p) {
    if (p + 2 >= text.size()) return filter.Skippable(text, p);
    std::uint16_t node = verdicts[verdicts[verdicts[0][bytes[p]]][bytes[p + 1]]][bytes[p + 2]];
    for (std::size_t q = p + 3; node >= ChainFilter::kFirstNode; ++q) {
      if (ends[node].stop) return false;
      if (q == text.size()) return true;
      node = verdicts[node][bytes[q]];
    }
    return node == ChainFilter::kSkip || (node == ChainFilter::kStop && filter.Skippable(text, p));
  };
  std::size_t i = from;
  // The rest of the block where the last stop was found.
  if (last.width == Lanes::kWidth && from >= last.start && from < last.start + Lanes::kWidth) {
    for (std::uint32_t mask = last.hits & (~std::uint32_t{0} << (from - last.start)); mask != 0;
         mask &= mask - 1) {
      const std::size_t p = last.start + static_cast<std::size_t>(std::countr_zero(mask));
      if (!skippable(p)) return p;
    }
    i = last.start + Lanes::kWidth;
  }
  // Each block also reads the byte after it, for the second bytes.
  for (; i + Lanes::kWidth + 1 <= text.size(); i += Lanes::kWidth) {
    const V here = Lanes::Load(bytes + i);
    const V after = Lanes::Load(bytes + i + 1);
    V hits = Lanes::Zero();
    for (const FilterTerm& term : terms) {
      V hit = equal(here, term.first);
      if (term.secondCount != 0 && Lanes::Mask(hit) != 0) {
        V second = Lanes::Zero();
        for (std::size_t k = 0; k < term.secondCount; ++k) {
          second = Lanes::Or(second, equal(after, term.seconds[k]));
        }
        hit = Lanes::And(hit, second);
      }
      hits = Lanes::Or(hits, hit);
    }
    const std::uint32_t blockHits = Lanes::Mask(hits);
    for (std::uint32_t mask = blockHits; mask != 0; mask &= mask - 1) {
      const std::size_t p = i + static_cast<std::size_t>(std::countr_zero(mask));
      if (!skippable(p)) {
        last = {i, Lanes::kWidth, blockHits};
        return p;
      }
    }
  }
  next = i;
  return text.size();
}

// The same loop with 32-byte vectors, in a file built for AVX2; call it only
// when the processor has AVX2.
std::size_t ScanBlocksForStopsAvx2(const ChainFilter& filter, std::span<const FilterTerm> terms,
                                   std::string_view text, std::size_t from, std::size_t& next,
                                   ScannedBlock& last);

}  // namespace quillmere::detail
