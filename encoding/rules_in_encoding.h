#pragma once

#include "cleaning_options.h"
#include "file_encoding.h"

namespace quillmere {

// The options with the user's texts (UTF-8) in the file's encoding: as they
// are for UTF-8 and UTF-16 files (which the engine sees as UTF-8), in the
// code page's bytes for legacy ones.
struct RulesInEncoding {
  CleaningOptions options;
  // A text the code page cannot hold was left out: its rule does nothing.
  bool textLeftOut = false;
};

RulesInEncoding RulesFor(const CleaningOptions& options, const FileEncoding& encoding);

}  // namespace quillmere
