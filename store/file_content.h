#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "file_system.h"

namespace quillmere {

// Reads the file's whole content, `size` bytes as its information gave,
// and checks that nothing follows. The bytes are not judged here: whether
// they are text depends on the encoding they are read in (UTF-16 is full of
// NUL bytes), which the decoding knows.
[[nodiscard]] Result<std::string> ReadWhole(OpenFile& file, std::uint64_t size);

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
