#pragma once

#include <iosfwd>

#include "cleaning_options.h"

namespace quillmere {

// Cleans all of `in` to `out`. Input holding a NUL byte is not text: it is
// refused with a message on `err` and nothing on `out`. Returns the exit status.
int RunFilterMode(const CleaningOptions& options, std::istream& in, std::ostream& out,
                  std::ostream& err);

}  // namespace quillmere
