#include "stream_mode.h"

#include <istream>
#include <ostream>
#include <string>

#include "cli.h"
#include "record_answer.h"

namespace quillmere {

int RunStreamMode(const CleaningOptions& options, std::istream& in, std::ostream& out,
                  std::ostream& err) {
  for (std::string line; std::getline(in, line);) {
    out << AnswerLine(options, line);
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
