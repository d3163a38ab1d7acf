#include "file_error.h"

#include <ostream>

namespace quillmere {
namespace {

// What the problem is called: in words, and as a name for machines.
struct ProblemWords {
  const char* text;
  const char* name;
};

ProblemWords WordsOf(FileProblem problem) {
  switch (problem) {
    case FileProblem::kNotFound:
      return {"not found", "not_found"};
    case FileProblem::kNotRegularFile:
      return {"not a regular file", "not_regular_file"};
    case FileProblem::kHoldsNulByte:
      return {"holds a NUL byte (binary data)", "holds_nul_byte"};
    case FileProblem::kTooLarge:
      return {"larger than the 1 GiB limit", "too_large"};
    case FileProblem::kNoPermission:
      return {"no permission", "no_permission"};
    case FileProblem::kReadOnly:
      return {"read-only", "read_only"};
    case FileProblem::kLocked:
      return {"locked by another program", "locked"};
    case FileProblem::kChanged:
      return {"changed by another program since it was read", "changed"};
    case FileProblem::kForeignLink:
      return {"link owned by another user", "foreign_link"};
    case FileProblem::kDiskFull:
      return {"disk full", "disk_full"};
    case FileProblem::kOutOfMemory:
      return {"out of memory", "out_of_memory"};
    case FileProblem::kRecoveryCopyLeft:
      return {"an interrupted save left a recovery copy", "recovery_copy_left"};
    case FileProblem::kChangedDuringSave:
      return {"changed by another program during the save", "changed_during_save"};
    case FileProblem::kUnsafeStateFolder:
      return {"state folder not safe", "unsafe_state_folder"};
    case FileProblem::kBadEncoding:
      return {"not text in its encoding", "bad_encoding"};
    case FileProblem::kSystemError:
      break;
  }
  return {"system error", "system_error"};
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const FileError& error) {
  return out << ReasonText(error);
}

const char* ProblemName(FileProblem problem) {
  return WordsOf(problem).name;
}

std::string ReasonText(const FileError& error) {
  std::string text = WordsOf(error.problem).text;
  if (error.detail.empty()) return text;
  if (error.problem == FileProblem::kSystemError) return text + ": " + error.detail;
  // "an interrupted save left a recovery copy at PATH; the file changed since"
  if (error.problem == FileProblem::kRecoveryCopyLeft) return text + " at " + error.detail;
  return text + " (" + error.detail + ")";
}

}  // namespace quillmere
