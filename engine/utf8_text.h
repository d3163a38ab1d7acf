#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmere {

// What DecodeUtf8 gives for a byte that starts no valid sequence: a value
// beyond Unicode, distinct for each byte, so that it equals no character.
inline constexpr char32_t kInvalidUtf8Base = 0x110000;

// The character that starts at `at`, moving `at` past it. A byte that starts
// no valid sequence (stray, overlong, surrogate, beyond U+10FFFF) gives
// kInvalidUtf8Base plus the byte and moves on by one.
char32_t DecodeUtf8(std::string_view text, std::size_t& at);

// Appends the UTF-8 of a character (at most U+10FFFF, no surrogate).
void AppendUtf8(std::string& out, char32_t character);

// Whether the whole text is valid UTF-8.
bool IsValidUtf8(std::string_view text);

// Whether the whole text is valid UTF-8 and holds no NUL byte, in one pass.
bool IsValidUtf8WithoutNul(std::string_view text);

// Whether every byte is below 0x80.
bool IsAscii(std::string_view text);

}  // namespace quillmere
