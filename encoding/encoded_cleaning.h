#pragma once

#include <string>

#include "cleaning_options.h"
#include "file_encoding.h"
#include "file_error.h"

namespace quillmere {

// One file's bytes cleaned in their own encoding.
struct EncodedCleaning {
  std::optional<FileError> error;  // the bytes cannot be read or written back
  FileEncoding encoding;           // found before cleaning
  std::string bytes;               // the cleaned bytes, ready to be written
  bool modified = false;           // an edit changed the text
  bool textLeftOut = false;        // a rule text that the code page lacks was left out
};

// Decodes the bytes, cleans them with the user's texts in their encoding and
// encodes them back. Without an edit the bytes come back exactly as they went in.
EncodedCleaning CleanEncoded(std::string bytes, const CleaningOptions& options);

// The note for a file whose code page cannot hold a rule's text:
// "rule text not representable in windows-1252".
std::string LeftOutText(const FileEncoding& encoding);

}  // namespace quillmere
