#include <iconv.h>

#include <cerrno>

#include "code_page.h"

namespace quillmere {
namespace {

// One byte through the converter: its character, kNoCharacter when the code
// page gives it none, nothing when the byte only starts a longer sequence
// (a multi-byte code page).
std::optional<char32_t> CharacterOf(iconv_t converter, unsigned char byte) {
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  char in = static_cast<char>(byte);
  char32_t out = 0;
  char* inPointer = &in;
  std::size_t inLeft = 1;
  char* outPointer = reinterpret_cast<char*>(&out);
  std::size_t outLeft = sizeof out;
  if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) ==
      static_cast<std::size_t>(-1)) {
    if (errno == EINVAL) return std::nullopt;
    return kNoCharacter;
  }
  return outLeft == 0 ? out : kNoCharacter;
}

}  // namespace

std::optional<SingleByteCodePage> FindCodePage(const std::string& name) {
  const iconv_t converter = iconv_open("UTF-32LE", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  SingleByteCodePage page{name, {}};
  bool singleByte = true;
  for (int byte = 0; byte < 256 && singleByte; ++byte) {
    const std::optional<char32_t> character =
        CharacterOf(converter, static_cast<unsigned char>(byte));
    singleByte = character.has_value();
    if (character) page.characters[static_cast<std::size_t>(byte)] = *character;
  }
  iconv_close(converter);
  if (!singleByte) return std::nullopt;
  return page;
}

std::string SystemLegacyCodePage() {
  return "windows-1252";
}

}  // namespace quillmere
