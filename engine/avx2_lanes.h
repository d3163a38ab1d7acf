#pragma once

// The AVX2 operations for the scans written once over the width of a vector
// unit; include only in files built for AVX2 (see vector_lanes.h).
#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillmere::detail {

struct Avx2Lanes {
  using V = __m256i;
  static constexpr std::size_t kWidth = 32;
  static V Load(const unsigned char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const V*>(p));
  }
  static V Broadcast(const std::array<unsigned char, 16>& bytes) {
    return _mm256_broadcastsi128_si256(
        _mm_load_si128(reinterpret_cast<const __m128i*>(bytes.data())));
  }
  static V Splat(unsigned char c) { return _mm256_set1_epi8(static_cast<char>(c)); }
  static V Or(V a, V b) { return _mm256_or_si256(a, b); }
  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V Equal(V a, V b) { return _mm256_cmpeq_epi8(a, b); }
  static V Zero() { return _mm256_setzero_si256(); }
  static std::uint32_t Mask(V v) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(v)); }
};

}  // namespace quillmere::detail
