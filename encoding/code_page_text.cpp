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
  std::string bytes;
  for (std::size_t at = 0; at < text.size();) {
    const char32_t character = DecodeUtf8(text, at);
    std::size_t byte = 0;
    while (byte < page.characters.size() && page.characters[byte] != character) ++byte;
    if (byte == page.characters.size()) return std::nullopt;
    bytes += static_cast<char>(byte);
  }
  return bytes;
}

std::string FromCodePage(std::string_view bytes, const SingleByteCodePage& page) {
  std::string text;
  text.reserve(bytes.size());
  for (char byte : bytes) {
    const char32_t character = page.characters[static_cast<unsigned char>(byte)];
    AppendUtf8(text, character == kNoCharacter ? char32_t{0xFFFD} : character);
  }
  return text;
}

}  // namespace quillmere
