#include "code_page_text.h"

#include <map>
#include <mutex>

#include "utf8_text.h"

namespace quillmere {

const SingleByteCodePage* CodePageNamed(const std::string& name) {
  static std::mutex mutex;
  static std::map<std::string, std::optional<SingleByteCodePage>> pages;
  const std::lock_guard lock(mutex);
  auto found = pages.find(name);
  if (found == pages.end()) found = pages.emplace(name, FindCodePage(name)).first;
  return found->second ? &*found->second : nullptr;
}

std::optional<std::string> ToCodePage(std::string_view text, const SingleByteCodePage& page) {
  std::map<char32_t, char> byteOf;
  for (std::size_t byte = 0; byte < page.characters.size(); ++byte) {
    const char32_t character = page.characters[byte];
    byteOf[character == kNoCharacter ? kByteStandInBase + static_cast<char32_t>(byte) : character] =
        static_cast<char>(byte);
  }
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const char32_t character = DecodeUtf8(text, at);
    if (character < 0x80 && page.characters[character] == character) {
      bytes += static_cast<char>(character);
      continue;
    }
    const auto found = byteOf.find(character);
    if (found == byteOf.end()) return std::nullopt;
    bytes += found->second;
  }
  return bytes;
}

std::optional<std::string> DecodeCodePage(std::string_view bytes, const SingleByteCodePage& page) {
  std::map<char32_t, int> uses;
  for (char32_t character : page.characters) {
    if (character != kNoCharacter && ++uses[character] > 1) return std::nullopt;
  }
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 8);
  for (char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    const char32_t character = page.characters[b];
    AppendUtf8(text, character == kNoCharacter ? kByteStandInBase + b : character);
  }
  return text;
}

}  // namespace quillmere
