#pragma once

#include "cleaning_options.h"
#include "file_encoding.h"

namespace quillmere {

// The options with the user's texts (UTF-8) for a file in this encoding: as
// they are for UTF-8 and UTF-16 files; for a legacy file (which the engine
// also sees as UTF-8) only the texts its code page can hold.
struct RulesInEncoding {
  CleaningOptions options;
  // A text the code page cannot hold was left out: its rule does nothing.
  bool textLeftOut = false;
};

RulesInEncoding RulesFor(const CleaningOptions& options, const FileEncoding& encoding);

// Whether every text of an enabled group is ASCII alone, and no rule is a
// regular expression.
bool UserTextsAreAscii(const CleaningOptions& options);

}  // namespace quillmere
