#include "utf16_text.h"

#include <cstdint>
#include <cstring>

#include "utf8_text.h"

namespace quillmere {
namespace {

char16_t UnitAt(std::string_view bytes, std::size_t at, bool bigEndian) {
  const auto first = static_cast<unsigned char>(bytes[at]);
  const auto second = static_cast<unsigned char>(bytes[at + 1]);
  return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
}

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

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

}  // namespace

std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out) {
  if (bytes.size() % 2 != 0) return "an odd number of bytes for UTF-16";
  // At most three bytes for each unit; written in place, then cut to size.
  out.resize(bytes.size() / 2 * 3);
  char* to = out.data();
  const auto put = [&to](unsigned value) { *to++ = static_cast<char>(value); };
  const std::size_t low = bigEndian ? 1 : 0;  // where a unit's ASCII byte is
  for (std::size_t at = 0; at < bytes.size(); at += 2) {
    while (at + 8 <= bytes.size() && FourAsciiUnits(bytes.data() + at, bigEndian)) {
      for (std::size_t k = 0; k < 8; k += 2) *to++ = bytes[at + k + low];
      at += 8;
    }
    if (at == bytes.size()) break;
    char32_t c = UnitAt(bytes, at, bigEndian);
    if (c < 0x80) {
      if (c == 0) return "a NUL character at byte " + std::to_string(at);
      put(c);
      continue;
    }
    if (IsHighSurrogate(c) && at + 4 <= bytes.size() &&
        IsLowSurrogate(UnitAt(bytes, at + 2, bigEndian))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (UnitAt(bytes, at + 2, bigEndian) - 0xDC00);
      at += 2;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      return "an unpaired surrogate at byte " + std::to_string(at);
    }
    if (c < 0x800) {
      put(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
      put(0xE0 | (c >> 12));
      put(0x80 | ((c >> 6) & 0x3F));
    } else {
      put(0xF0 | (c >> 18));
      put(0x80 | ((c >> 12) & 0x3F));
      put(0x80 | ((c >> 6) & 0x3F));
    }
    put(0x80 | (c & 0x3F));
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
  return std::nullopt;
}

std::optional<std::string> Utf8ToUtf16(std::string_view text, bool bigEndian, std::string& out) {
  // At most two bytes for each byte of UTF-8; written in place, then cut.
  out.resize(text.size() * 2);
  char* to = out.data();
  const auto put = [&to, bigEndian](char32_t unit) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    *to++ = bigEndian ? high : low;
    *to++ = bigEndian ? low : high;
  };
  for (std::size_t at = 0; at < text.size();) {
    while (at + 8 <= text.size() && IsAscii(text.substr(at, 8))) {
      for (std::size_t k = 0; k < 8; ++k) put(static_cast<unsigned char>(text[at + k]));
      at += 8;
    }
    if (at == text.size()) break;
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      put(byte);
      ++at;
      continue;
    }
    const std::size_t start = at;
    const char32_t character = DecodeUtf8(text, at);
    if (character >= kInvalidUtf8Base) {
      return "the cleaned text is no valid UTF-8 at byte " + std::to_string(start);
    }
    if (character >= 0x10000) {
      put(0xD800 + ((character - 0x10000) >> 10));
      put(0xDC00 + ((character - 0x10000) & 0x3FF));
    } else {
      put(character);
    }
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
  return std::nullopt;
}

}  // namespace quillmere
