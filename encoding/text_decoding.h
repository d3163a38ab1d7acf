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
  // A legacy file's own bytes, not decoded (DecodeText's `legacyAsBytes`).
  bool codePageBytes = false;
  // The bytes as read, kept when `text` is a decoded copy of them (UTF-16,
  // a decoded code page): text without an edit goes back as they were.
  std::string original;
};

// Finds the encoding of a file's bytes (a byte order mark; else valid UTF-8;
// else the legacy code page), unless `choice` forces one, and decodes them.
// Refused: a NUL, UTF-16 that does not decode, a code page the system lacks
// or one with two bytes for one character.
// With `legacyAsBytes`, a legacy file whose code page keeps ASCII as it is
// and folds no other letter to ASCII stays in its own bytes: for texts of
// ASCII alone the engine then finds what it finds in the decoded text,
// without the decoding.
Result<DecodedText> DecodeText(std::string bytes, const EncodingChoice& choice,
                               bool legacyAsBytes = false);

// The bytes to write back: the text in the encoding it was read in, with its
// byte order mark as it was. Refused: cleaned text that is no valid UTF-8
// where UTF-16 is to be written, or that the code page cannot hold.
// UTF-16 is written into `room` when it is large enough (its contents go),
// so that a buffer already in memory is used again.
Result<std::string> EncodeText(std::string text, const FileEncoding& encoding,
                               bool codePageBytes = false, std::string room = {});

}  // namespace quillmere
