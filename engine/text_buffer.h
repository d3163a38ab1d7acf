#pragma once

#include <string>

namespace quillmere {

// The whole text of the file in hand and whether any edit changed it.
//
// Text is UTF-8 (every file is decoded to it) with no NUL byte in it. The
// built-in groups search byte by byte and fold only A-Z; the user's texts
// fold by Unicode's simple case folding (folded_edits.h) where they need to.
// Bytes that are no valid UTF-8 are kept and match only themselves.
struct TextBuffer {
  std::string text;
  bool modified = false;
};

}  // namespace quillmere
