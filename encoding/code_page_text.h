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
// characters has no byte there (or the text is no valid UTF-8).
std::optional<std::string> ToCodePage(std::string_view text, const SingleByteCodePage& page);

// The UTF-8 of code page bytes; a byte that stands for no character
// becomes U+FFFD.
std::string FromCodePage(std::string_view bytes, const SingleByteCodePage& page);

}  // namespace quillmere
