#include "ascii_runs.h"

#include <cstdint>
#include <cstring>

#include "vector_support.h"

namespace quillmere {
namespace {

constexpr std::uint64_t kUnitOnes = 0x0001000100010001ull;
constexpr std::uint64_t kUnitTops = 0x8000800080008000ull;

// Whether the eight bytes at `from` are four ASCII units, none of them NUL.
bool FourAsciiUnits(const char* from, bool bigEndian) {
  std::uint64_t word;
  std::memcpy(&word, from, 8);
  if (bigEndian)
    word = ((word & 0x00FF00FF00FF00FFull) << 8) | ((word >> 8) & 0x00FF00FF00FF00FFull);
  const bool ascii = (word & 0xFF80FF80FF80FF80ull) == 0;
  return ascii && ((word - kUnitOnes) & ~word & kUnitTops) == 0;
}

bool EightAsciiBytes(const char* from) {
  std::uint64_t word;
  std::memcpy(&word, from, 8);
  return (word & 0x8080808080808080ull) == 0;
}

#ifdef QUILLMERE_HAVE_SSE2
// Whether the eight units in `units` (little-endian lanes) are ASCII, not NUL.
bool EightAsciiUnits(__m128i units) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i high = _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF80)));
  const int notAscii = _mm_movemask_epi8(_mm_cmpeq_epi16(high, zero)) ^ 0xFFFF;
  return (notAscii | _mm_movemask_epi8(_mm_cmpeq_epi16(units, zero))) == 0;
}

__m128i SwapBytes(__m128i units) {
  return _mm_or_si128(_mm_slli_epi16(units, 8), _mm_srli_epi16(units, 8));
}
#endif

}  // namespace

std::size_t NarrowAsciiUnits(const char* from, std::size_t units, bool bigEndian, char* to) {
  std::size_t done = 0;
#ifdef QUILLMERE_HAVE_SSE2
  for (; done + 8 <= units; done += 8) {
    __m128i lanes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 2 * done));
    if (bigEndian) lanes = SwapBytes(lanes);
    if (!EightAsciiUnits(lanes)) break;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to + done), _mm_packus_epi16(lanes, lanes));
  }
#endif
  const std::size_t low = bigEndian ? 1 : 0;  // where a unit's ASCII byte is
  for (; done + 4 <= units && FourAsciiUnits(from + 2 * done, bigEndian); done += 4) {
    for (std::size_t k = 0; k < 4; ++k) to[done + k] = from[2 * (done + k) + low];
  }
  return done;
}

std::size_t WidenAsciiBytes(const char* from, std::size_t count, bool bigEndian, char* to) {
  std::size_t done = 0;
#ifdef QUILLMERE_HAVE_SSE2
  const __m128i zero = _mm_setzero_si128();
  for (; done + 16 <= count; done += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + done));
    if (_mm_movemask_epi8(bytes) != 0) break;
    const __m128i first =
        bigEndian ? _mm_unpacklo_epi8(zero, bytes) : _mm_unpacklo_epi8(bytes, zero);
    const __m128i second =
        bigEndian ? _mm_unpackhi_epi8(zero, bytes) : _mm_unpackhi_epi8(bytes, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 2 * done), first);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 2 * done + 16), second);
  }
#endif
  const std::size_t low = bigEndian ? 1 : 0;
  for (; done + 8 <= count && EightAsciiBytes(from + done); done += 8) {
    for (std::size_t k = 0; k < 8; ++k) {
      to[2 * (done + k) + low] = from[done + k];
      to[2 * (done + k) + 1 - low] = '\0';
    }
  }
  return done;
}

}  // namespace quillmere
