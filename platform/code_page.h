#pragma once

#include <array>
#include <optional>
#include <string>

namespace quillmere {

// A byte that stands for no character in its code page.
inline constexpr char32_t kNoCharacter = 0xFFFFFFFF;

// A single-byte code page: the Unicode character each byte stands for.
struct SingleByteCodePage {
  std::string name;
  std::array<char32_t, 256> characters{};
};

// The code page the system calls `name` ("windows-1252", "ISO-8859-7",
// "cp1251"), or nothing when the system knows no such code page or it is
// not single-byte.
std::optional<SingleByteCodePage> FindCodePage(const std::string& name);

// The code page of files that are neither marked nor valid UTF-8: the ANSI
// code page on Windows, windows-1252 elsewhere.
std::string SystemLegacyCodePage();

}  // namespace quillmere
