#include "utf16_text.h"

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

}  // namespace

std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out) {
  if (bytes.size() % 2 != 0) return "an odd number of bytes for UTF-16";
  // At most three bytes for each unit; written in place, then cut to size.
  out.resize(bytes.size() / 2 * 3);
  char* to = out.data();
  const auto put = [&to](unsigned value) { *to++ = static_cast<char>(value); };
  for (std::size_t at = 0; at < bytes.size(); at += 2) {
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
