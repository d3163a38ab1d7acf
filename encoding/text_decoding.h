#pragma once

#include <string>

#include "cleaning_options.h"
#include "file_encoding.h"
#include "result.h"

namespace quillmere {

// A file's text as the engine cleans it: UTF-8 (a legacy file's bytes that
// stand for no character as stand-ins, code_page_text.h); never a byte
// order mark.
struct DecodedText {
  FileEncoding encoding;
  std::string text;
};

// Finds the encoding of a file's bytes (a byte order mark; else valid UTF-8;
// else the legacy code page), unless `choice` forces one, and decodes them.
// Refused: a NUL, UTF-16 that does not decode, a code page the system lacks
// or one with two bytes for one character.
Result<DecodedText> DecodeText(std::string bytes, const EncodingChoice& choice);

// The bytes to write back: the text in the encoding it was read in, with its
// byte order mark as it was. Refused: cleaned text that is no valid UTF-8
// where UTF-16 is to be written, or that the code page cannot hold.
Result<std::string> EncodeText(std::string text, const FileEncoding& encoding);

}  // namespace quillmere
