#pragma once

#include <cstddef>

namespace quillmere {

// The fast lanes of UTF-16 transcoding: runs of ASCII, a vector at a time
// where the build has SSE2, eight bytes at a time otherwise.

// Copies the low bytes of the leading ASCII units (no NUL) of the `units`
// UTF-16 units at `from` to `to`; gives how many were copied. It may stop a
// few units before the first unit it cannot copy.
std::size_t NarrowAsciiUnits(const char* from, std::size_t units, bool bigEndian, char* to);

// Widens the leading ASCII bytes of the `count` bytes at `from` to UTF-16
// units at `to`; gives how many bytes were widened. It may stop a few bytes
// before the first non-ASCII byte.
std::size_t WidenAsciiBytes(const char* from, std::size_t count, bool bigEndian, char* to);

}  // namespace quillmere
