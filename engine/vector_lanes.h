#pragma once

// The operations of a vector unit that the scans written once over its width
// use (filter_scan.h, text_scan.h): here SSE2, which every x86-64 processor
// has; AVX2 in avx2_lanes.h, for the files built for it.
#include <array>
#include <cstddef>
#include <cstdint>

#include "vector_support.h"

#ifdef QUILLMERE_HAVE_SSE2
namespace quillmere::detail {

struct Sse2Lanes {
  using V = __m128i;
  static constexpr std::size_t kWidth = 16;
  static V Load(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
  static V Broadcast(const std::array<unsigned char, 16>& bytes) {
    return _mm_load_si128(reinterpret_cast<const V*>(bytes.data()));
  }
  static V Splat(unsigned char c) { return _mm_set1_epi8(static_cast<char>(c)); }
  static V Or(V a, V b) { return _mm_or_si128(a, b); }
  static V And(V a, V b) { return _mm_and_si128(a, b); }
  static V Equal(V a, V b) { return _mm_cmpeq_epi8(a, b); }
  static V Zero() { return _mm_setzero_si128(); }
  static std::uint32_t Mask(V v) { return static_cast<std::uint32_t>(_mm_movemask_epi8(v)); }
};

}  // namespace quillmere::detail
#endif
