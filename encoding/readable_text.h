#pragma once

#include <string>

#include "cleaning_options.h"

namespace quillmere {

// Two versions of one file's bytes, to show how they differ.
struct ReadableTexts {
  std::string before;
  std::string after;
};

// The versions as UTF-8 text: a UTF-16 or code page file is decoded, both
// versions in the encoding found for `before` (DecodeText), without the
// byte order mark. UTF-8, and bytes that do not decode, stay as they are.
ReadableTexts ToReadableTexts(std::string before, std::string after, const EncodingChoice& choice);

}  // namespace quillmere
