#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "json_bytes.h"

namespace quillmere {

// Records nested deeper than this are refused before anything is built of
// them, so no record can exhaust the stack of a reader or a writer.
inline constexpr int kMostRecordDepth = 64;

// What a record of the stream holds: its id (null when it has none) and the
// bytes of its text.
struct RecordParts {
  Json id;
  std::string text;
};

// Why a record cannot be cleaned, and its id when the record is JSON.
struct RecordProblem {
  Json id;
  std::string reason;
};

// Reads one record, {"id": ANY, "text": "..."} or {"id": ANY, "text_base64":
// "..."}, checking the whole line as JSON (UTF-8 strings, nesting at most
// kMostRecordDepth deep). Only the id becomes a JSON tree; the text never
// does: it is decoded over the line itself, so a record costs its line and
// no more (a base64 text three quarters more).
std::variant<RecordParts, RecordProblem> ReadRecord(std::string line);

}  // namespace quillmere
