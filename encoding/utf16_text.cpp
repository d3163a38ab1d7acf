#include "utf16_text.h"

#include "utf8_text.h"

namespace quillmere {
namespace {

char16_t UnitAt(std::string_view bytes, std::size_t at, bool bigEndian) {
  const auto first = static_cast<unsigned char>(bytes[at]);
  const auto second = static_cast<unsigned char>(bytes[at + 1]);
  return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
}

void AppendUnit(std::string& out, char32_t unit, bool bigEndian) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  out += bigEndian ? high : low;
  out += bigEndian ? low : high;
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
  out.clear();
  out.reserve(bytes.size() / 2 * 3 / 2);
  for (std::size_t at = 0; at < bytes.size(); at += 2) {
    char32_t character = UnitAt(bytes, at, bigEndian);
    if (character == 0) return "a NUL character at byte " + std::to_string(at);
    if (IsHighSurrogate(character) && at + 4 <= bytes.size() &&
        IsLowSurrogate(UnitAt(bytes, at + 2, bigEndian))) {
      character =
          0x10000 + ((character - 0xD800) << 10) + (UnitAt(bytes, at + 2, bigEndian) - 0xDC00);
      at += 2;
    } else if (IsHighSurrogate(character) || IsLowSurrogate(character)) {
      return "an unpaired surrogate at byte " + std::to_string(at);
    }
    AppendUtf8(out, character);
  }
  return std::nullopt;
}

std::optional<std::string> Utf8ToUtf16(std::string_view text, bool bigEndian, std::string& out) {
  out.clear();
  out.reserve(text.size() * 2);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    const char32_t character = DecodeUtf8(text, at);
    if (character >= kInvalidUtf8Base) {
      return "the cleaned text is no valid UTF-8 at byte " + std::to_string(start);
    }
    if (character >= 0x10000) {
      AppendUnit(out, 0xD800 + ((character - 0x10000) >> 10), bigEndian);
      AppendUnit(out, 0xDC00 + ((character - 0x10000) & 0x3FF), bigEndian);
    } else {
      AppendUnit(out, character, bigEndian);
    }
  }
  return std::nullopt;
}

}  // namespace quillmere
