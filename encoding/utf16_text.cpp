#include "utf16_text.h"

#include <algorithm>

#include "ascii_runs.h"
#include "utf8_text.h"

namespace quillmere {
namespace {

// The input is transcoded a block at a time, and the output grows by the
// most a block can give: so only pages that hold output get touched, never
// the whole worst-case size.
constexpr std::size_t kBlock = 1 << 16;

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

char* PutUtf8(char32_t c, char* to) {
  const auto put = [&to](unsigned value) { *to++ = static_cast<char>(value); };
  if (c < 0x80) {
    put(c);
    return to;
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
  return to;
}

char* PutUnit(char32_t unit, bool bigEndian, char* to) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  *to++ = bigEndian ? high : low;
  *to++ = bigEndian ? low : high;
  return to;
}

// Transcodes the units in [at, end) of `bytes` to `to`; `at` ends where it
// stopped (at `end`, or one unit on when a surrogate pair crosses it).
std::optional<std::string> Utf16BlockToUtf8(std::string_view bytes, std::size_t& at,
                                            std::size_t end, bool bigEndian, char*& to) {
  while (at < end) {
    const std::size_t run = NarrowAsciiUnits(bytes.data() + at, (end - at) / 2, bigEndian, to);
    at += 2 * run;
    to += run;
    if (at >= end) break;
    char32_t c = UnitAt(bytes, at, bigEndian);
    if (c == 0) return "a NUL character at byte " + std::to_string(at);
    if (IsHighSurrogate(c) && at + 4 <= bytes.size() &&
        IsLowSurrogate(UnitAt(bytes, at + 2, bigEndian))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (UnitAt(bytes, at + 2, bigEndian) - 0xDC00);
      at += 2;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      return "an unpaired surrogate at byte " + std::to_string(at);
    }
    to = PutUtf8(c, to);
    at += 2;
  }
  return std::nullopt;
}

// Transcodes the bytes in [at, end) of `text` to `to`; `at` ends where it
// stopped (past `end` when a character crosses it).
std::optional<std::string> Utf8BlockToUtf16(std::string_view text, std::size_t& at, std::size_t end,
                                            bool bigEndian, char*& to) {
  while (at < end) {
    const std::size_t run = WidenAsciiBytes(text.data() + at, end - at, bigEndian, to);
    at += run;
    to += 2 * run;
    if (at >= end) break;
    const std::size_t start = at;
    const char32_t character = DecodeUtf8(text, at);
    if (character >= kInvalidUtf8Base) {
      return "the cleaned text is no valid UTF-8 at byte " + std::to_string(start);
    }
    if (character >= 0x10000) {
      to = PutUnit(0xD800 + ((character - 0x10000) >> 10), bigEndian, to);
      to = PutUnit(0xDC00 + ((character - 0x10000) & 0x3FF), bigEndian, to);
    } else {
      to = PutUnit(character, bigEndian, to);
    }
  }
  return std::nullopt;
}

// Runs `block` over `input` a block of at most kBlock bytes at a time,
// appending to `out` with room for `growth` output bytes per input byte
// (plus one character that crosses a block's end).
template <typename Block>
std::optional<std::string> Transcode(std::string_view input, std::size_t growth, std::string& out,
                                     Block block) {
  // The worst case is reserved (in address space only) unless `out` already
  // has room for the typical case; past that it grows as strings do.
  if (out.capacity() < out.size() + input.size() * growth / 2 + 8) {
    out.reserve(out.size() + input.size() * growth + 8);
  }
  std::size_t used = out.size();
  for (std::size_t at = 0; at < input.size();) {
    const std::size_t end = std::min(input.size(), at + kBlock);
    out.resize(used + (end - at) * growth + 8);
    char* to = out.data() + used;
    std::optional<std::string> why = block(input, at, end, to);
    used = static_cast<std::size_t>(to - out.data());
    if (why) {
      out.resize(used);
      return why;
    }
  }
  out.resize(used);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out) {
  if (bytes.size() % 2 != 0) return "an odd number of bytes for UTF-16";
  // At most three bytes of UTF-8 for each unit of two bytes.
  return Transcode(bytes, 2, out, [bigEndian](auto input, auto& at, auto end, char*& to) {
    return Utf16BlockToUtf8(input, at, end, bigEndian, to);
  });
}

std::optional<std::string> Utf8ToUtf16(std::string_view text, bool bigEndian, std::string& out) {
  // At most two bytes of UTF-16 for each byte of UTF-8.
  return Transcode(text, 2, out, [bigEndian](auto input, auto& at, auto end, char*& to) {
    return Utf8BlockToUtf16(input, at, end, bigEndian, to);
  });
}

}  // namespace quillmere
