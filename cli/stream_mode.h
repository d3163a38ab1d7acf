#pragma once

#include <cstddef>
#include <iosfwd>

#include "cleaning_options.h"

namespace quillmere {

// The longest record --jsonl-stream reads unless --max-record says otherwise.
inline constexpr std::size_t kDefaultMaxRecord = std::size_t{256} << 20;

// Cleans a stream of records, one JSON object per line (record_answer.h),
// from `in` to `out`: each record is answered on its own line, in order, and
// blank lines are passed over. A line longer than `maxRecord` bytes is
// passed over as it is read and answered by an error, as is one there is no
// room for. Returns 0 once every record is answered, 1 when the input cannot
// be read or the output cannot be written.
int RunStreamMode(const CleaningOptions& options, std::size_t maxRecord, std::istream& in,
                  std::ostream& out, std::ostream& err);

}  // namespace quillmere
