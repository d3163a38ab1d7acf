// The vector scans with 32-byte vectors. This file is built for AVX2; its
// functions are called only on processors that have it.
#include "avx2_lanes.h"
#include "filter_scan.h"
#include "text_scan.h"

namespace quillmere::detail {

std::size_t ScanBlocksForStopsAvx2(const ChainFilter& filter, std::span<const FilterTerm> terms,
                                   std::string_view text, std::size_t from, std::size_t& next,
                                   ScannedBlock& last) {
  return ScanBlocksForStops<Avx2Lanes>(filter, terms, text, from, next, last);
}

BlockScan ScanTextBlocksAvx2(const TextPattern& pattern, const unsigned char* text,
                             std::size_t from, std::size_t last) {
  return ScanTextBlocks<Avx2Lanes>(pattern, text, from, last);
}

}  // namespace quillmere::detail
