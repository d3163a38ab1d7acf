#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "file_system.h"

namespace quillmere {

// kRefused: a NUL byte refuses the content, unless it starts with a UTF-16
// byte order mark (UTF-16 text is full of them; its decoding checks it).
enum class NulBytes { kAllowed, kRefused };

// Whether the content starts with a UTF-16 byte order mark.
bool StartsAsUtf16(std::string_view content);

// Whether the content is refused for a NUL byte under kRefused.
bool RefusedForNul(std::string_view content);

// Reads the file's whole content, `size` bytes as its information gave,
// and checks that nothing follows. A NUL byte is refused as it arrives when
// asked, so that a huge binary file is given up at once.
[[nodiscard]] Result<std::string> ReadWhole(OpenFile& file, std::uint64_t size, NulBytes nulBytes);

// Writes all of `text` at `offset`.
[[nodiscard]] MaybeError WriteWhole(OpenFile& file, std::string_view text,
                                    std::uint64_t offset = 0);

// A fast hash of a file's content, to recognise it later.
std::uint64_t ContentHash(std::string_view content);
// The same hash of what the open file holds, read a piece at a time.
[[nodiscard]] Result<std::uint64_t> ContentHashOf(OpenFile& file);
// Whether the open file holds exactly `content`, read a piece at a time.
[[nodiscard]] Result<bool> Holds(OpenFile& file, std::string_view content);

}  // namespace quillmere
