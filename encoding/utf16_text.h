#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

// UTF-16 bytes (no byte order mark) to UTF-8, appended to `out`. Nothing
// when all went well; otherwise why not: an odd number of bytes, an unpaired
// surrogate or a NUL character, with its byte offset.
std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out);

// UTF-8 to UTF-16 bytes, appended to `out`; nothing when all went well,
// otherwise the offset of the first byte that is no valid UTF-8.
std::optional<std::string> Utf8ToUtf16(std::string_view text, bool bigEndian, std::string& out);

}  // namespace quillmere
