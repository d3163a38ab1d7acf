#pragma once

// The vector units a build can use: SSE2 wherever the compiler offers it, and
// with GCC or Clang on x86-64 also AVX2, chosen at run time by HasAvx2().
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define QUILLMERE_HAVE_SSE2 1
#endif
#if defined(QUILLMERE_HAVE_SSE2) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QUILLMERE_HAVE_AVX2_DISPATCH 1

namespace quillmere::detail {

inline bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

}  // namespace quillmere::detail
#endif
