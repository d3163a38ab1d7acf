#include "stream_mode.h"

#include <istream>
#include <ostream>
#include <string>

#include "cli.h"
#include "record_answer.h"
#include "record_lines.h"

namespace quillmere {

int RunStreamMode(const CleaningOptions& options, std::size_t maxRecord, std::istream& in,
                  std::ostream& out, std::ostream& err) {
  RecordLines lines(in, maxRecord);
  std::string line;
  for (RecordLines::Read read; (read = lines.Next(line)) != RecordLines::Read::kEnd;) {
    switch (read) {
      case RecordLines::Read::kLine:
        WriteAnswer(options, std::move(line), out);
        break;
      case RecordLines::Read::kTooLong:
        WriteErrorAnswer("the record is longer than --max-record (" + std::to_string(maxRecord) +
                             " bytes); it was skipped",
                         out);
        break;
      case RecordLines::Read::kNoMemory:
        WriteErrorAnswer("out of memory: no room to read the record; it was skipped", out);
        break;
      case RecordLines::Read::kEnd:
        break;
    }
    // A driver may wait for each answer before it writes the next record.
    if (in.rdbuf()->in_avail() <= 0) out.flush();
    if (!out) break;
  }
  out.flush();
  if (in.bad()) {
    err << "quillmere-cli: cannot read standard input\n";
    return kExitFailure;
  }
  if (!out) {
    err << "quillmere-cli: cannot write standard output\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace quillmere
