#pragma once

#include <iosfwd>

#include "cleaning_options.h"

namespace quillmere {

// What a filter writes: the cleaned text, or (with `diff`) a unified diff
// labelled "-" of what would change; with `check`, exit status 1 tells that
// the text would change and nothing but the diff is written.
struct FilterOutput {
  bool check = false;
  bool diff = false;
  bool colour = false;  // the diff's colours
};

// Cleans all of `in` to `out`. Input holding a NUL byte is not text: it is
// refused with a message on `err` and nothing on `out`. Returns the exit status.
int RunFilterMode(const CleaningOptions& options, const FilterOutput& output, std::istream& in,
                  std::ostream& out, std::ostream& err);

}  // namespace quillmere
