#include <windows.h>

#include <cctype>
#include <charconv>

#include "code_page.h"

namespace quillmere {
namespace {

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The number after `prefix` in `name`, or 0.
unsigned NumberAfter(const std::string& name, const std::string& prefix) {
  if (name.rfind(prefix, 0) != 0) return 0;
  unsigned number = 0;
  const char* end = name.data() + name.size();
  const auto [at, error] = std::from_chars(name.data() + prefix.size(), end, number);
  return error == std::errc{} && at == end ? number : 0;
}

// The Windows code page number of a name: windows-N, cpN, ISO-8859-N, KOI8-R/U.
unsigned CodePageNumber(const std::string& name) {
  const std::string lowered = Lowered(name);
  if (unsigned n = NumberAfter(lowered, "windows-")) return n;
  if (unsigned n = NumberAfter(lowered, "cp")) return n;
  if (unsigned n = NumberAfter(lowered, "iso-8859-")) return 28590 + n;
  if (lowered == "koi8-r") return 20866;
  if (lowered == "koi8-u") return 21866;
  return 0;
}

}  // namespace

std::optional<SingleByteCodePage> FindCodePage(const std::string& name) {
  const unsigned number = CodePageNumber(name);
  CPINFO info{};
  if (number == 0 || !GetCPInfo(number, &info) || info.MaxCharSize != 1) return std::nullopt;
  SingleByteCodePage page{name, {}};
  for (int byte = 0; byte < 256; ++byte) {
    const char in = static_cast<char>(byte);
    wchar_t out = 0;
    const int made = MultiByteToWideChar(number, MB_ERR_INVALID_CHARS, &in, 1, &out, 1);
    page.characters[static_cast<std::size_t>(byte)] = made == 1 ? char32_t{out} : kNoCharacter;
  }
  return page;
}

std::string SystemLegacyCodePage() {
  return "windows-" + std::to_string(GetACP());
}

}  // namespace quillmere
