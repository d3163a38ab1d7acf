#pragma once

#include <iosfwd>

#include "cleaning_options.h"

namespace quillmere {

// Cleans a stream of records, one JSON object per line, for engines that
// spread line-oriented work over many machines. Each record
//   {"id": ANY, "text": "..."}   or   {"id": ANY, "text_base64": "..."}
// (base64 for bytes that are not UTF-8) is answered on its own line, in
// order, by
//   {"id": ANY, "text": "...", "changed": true}
// with "text_base64" instead when the cleaned text is not UTF-8, or by
//   {"id": ANY, "error": "why"}
// when the record cannot be cleaned: no JSON object, no text, a text that
// holds a NUL byte, too large for memory. Blank lines are passed over.
// Returns 0 once every record is answered, 1 when the input cannot be read
// or the output cannot be written.
int RunStreamMode(const CleaningOptions& options, std::istream& in, std::ostream& out,
                  std::ostream& err);

}  // namespace quillmere
