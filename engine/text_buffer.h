#pragma once

#include <string>

namespace quillmere {

// The whole text of the file in hand and whether any edit changed it.
//
// Text is bytes in the system's 8-bit encoding (on Linux the locale's, normally
// UTF-8) with no NUL byte in it. Searches work byte by byte, which keeps matches
// on character boundaries in single-byte code pages and in UTF-8; double-byte
// code pages (Shift-JIS, GBK, Big5, ...) are not supported. Case-insensitive
// comparisons fold only the ASCII letters A-Z; every other byte must be equal.
struct TextBuffer {
  std::string text;
  bool modified = false;
};

}  // namespace quillmere
