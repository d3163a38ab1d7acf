#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "code_page.h"

namespace quillmere {

// The single-byte code page of that name, looked up once for the whole
// process; nullptr when the system knows none of that name.
const SingleByteCodePage* CodePageNamed(const std::string& name);

// The bytes of UTF-8 `text` in the code page, or nothing when one of its
// characters has no byte there (or the text is no valid UTF-8). A stand-in
// of DecodeCodePage goes back to its byte.
std::optional<std::string> ToCodePage(std::string_view text, const SingleByteCodePage& page);

// The stand-in for a byte that stands for no character in its code page: a
// private-use character (U+F0000 plus the byte), so that it comes back as
// the same byte and matches nothing a user types.
inline constexpr char32_t kByteStandInBase = 0xF0000;

// The UTF-8 of code page bytes, each byte a character, a byte that stands
// for none as its stand-in. Nothing when two bytes stand for one character,
// which could not be written back.
std::optional<std::string> DecodeCodePage(std::string_view bytes, const SingleByteCodePage& page);

}  // namespace quillmere
