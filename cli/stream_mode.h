#pragma once

#include <iosfwd>

#include "cleaning_options.h"

namespace quillmere {

// Cleans a stream of records, one JSON object per line (record_answer.h),
// from `in` to `out`: each record is answered on its own line, in order, and
// blank lines are passed over. Returns 0 once every record is answered, 1
// when the input cannot be read or the output cannot be written.
int RunStreamMode(const CleaningOptions& options, std::istream& in, std::ostream& out,
                  std::ostream& err);

}  // namespace quillmere
