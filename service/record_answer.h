#pragma once

#include <iosfwd>
#include <string>

#include "cleaning_options.h"
#include "json_bytes.h"

namespace quillmere {

// Cleans records of JSON, one object per line, for engines that spread
// line-oriented work over many machines. A record
//   {"id": ANY, "text": "..."}   or   {"id": ANY, "text_base64": "..."}
// (base64 for bytes that are not UTF-8) is answered by
//   {"id": ANY, "text": "...", "changed": true}
// with "text_base64" instead when the cleaned text is not UTF-8, or by
//   {"id": ANY, "error": "why"}
// when the record cannot be cleaned: no JSON object, nested too deep, no
// text, a text that holds a NUL byte, not enough memory. The id is null when
// the record has none or is no object.

// Writes the answer to one line of records to `out`, on one line with its
// line end. The line is taken so that its room is given back before the
// text is cleaned: a record costs at most about twice its size. A blank line
// gets no answer: nothing is written.
void WriteAnswer(const CleaningOptions& options, std::string line, std::ostream& out);

// The same answer as a string.
std::string AnswerLine(const CleaningOptions& options, std::string line);

// The answer to a record that was never read whole (too long, or no room
// for it).
void WriteErrorAnswer(const std::string& reason, std::ostream& out);

}  // namespace quillmere
