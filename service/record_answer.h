#pragma once

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
// when the record cannot be cleaned: no JSON object, no text, a text that
// holds a NUL byte. The id is null when the record has none or is no object.
Json AnswerRecord(const CleaningOptions& options, const std::string& record);

// The answer to one line of records, on one line with its line end; an
// answer that does not fit in memory is an error answer too. A blank line
// gets no answer: nothing comes back.
std::string AnswerLine(const CleaningOptions& options, const std::string& line);

}  // namespace quillmere
