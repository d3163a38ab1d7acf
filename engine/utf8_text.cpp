#include "utf8_text.h"

#include <cstdint>
#include <cstring>

namespace quillmere {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

constexpr std::uint64_t kLowBits = 0x0101010101010101ull;

// The length of the ASCII run that starts at `at`, eight bytes at a time;
// with `stopAtNul` a NUL byte ends it too.
std::size_t AsciiRun(std::string_view text, std::size_t at, bool stopAtNul = false) {
  std::size_t end = at;
  while (end + 8 <= text.size()) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + end, 8);
    // The second test is non-zero where a byte is zero (or high).
    if ((word & kHighBits) || (stopAtNul && ((word - kLowBits) & ~word & kHighBits))) break;
    end += 8;
  }
  while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80 &&
         !(stopAtNul && text[end] == '\0')) {
    ++end;
  }
  return end - at;
}

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

char32_t DecodeUtf8(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  std::size_t length = 0;
  char32_t character = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, character = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, character = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, character = lead & 0x07, least = 0x10000;
  }
  if (length == 0 || at + length > text.size()) {
    ++at;
    return kInvalidUtf8Base + lead;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(byte(i))) {
      ++at;
      return kInvalidUtf8Base + lead;
    }
    character = (character << 6) | (byte(i) & 0x3F);
  }
  if (character < least || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
    ++at;
    return kInvalidUtf8Base + lead;
  }
  at += length;
  return character;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsValidUtf8(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    at += AsciiRun(text, at);
    if (at == text.size()) break;
    if (DecodeUtf8(text, at) >= kInvalidUtf8Base) return false;
  }
  return true;
}

bool IsValidUtf8WithoutNul(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    at += AsciiRun(text, at, true);
    if (at == text.size()) break;
    if (text[at] == '\0' || DecodeUtf8(text, at) >= kInvalidUtf8Base) return false;
  }
  return true;
}

bool IsAscii(std::string_view text) {
  return AsciiRun(text, 0) == text.size();
}

}  // namespace quillmere
