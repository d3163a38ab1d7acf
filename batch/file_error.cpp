#include "file_error.h"

#include <ostream>

namespace quillmere {
namespace {

const char* ProblemText(FileProblem problem) {
  switch (problem) {
    case FileProblem::kNotFound:
      return "not found";
    case FileProblem::kNotRegularFile:
      return "not a regular file";
    case FileProblem::kHoldsNulByte:
      return "holds a NUL byte (binary or UTF-16 text)";
    case FileProblem::kTooLarge:
      return "larger than the 1 GiB limit";
    case FileProblem::kNoPermission:
      return "no permission";
    case FileProblem::kReadOnly:
      return "read-only";
    case FileProblem::kLocked:
      return "locked by another program";
    case FileProblem::kChanged:
      return "changed by another program since it was read";
    case FileProblem::kForeignLink:
      return "link owned by another user";
    case FileProblem::kDiskFull:
      return "disk full";
    case FileProblem::kOutOfMemory:
      return "out of memory";
    case FileProblem::kSystemError:
      break;
  }
  return "system error";
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const FileError& error) {
  return out << ReasonText(error);
}

std::string ReasonText(const FileError& error) {
  std::string text = ProblemText(error.problem);
  if (error.detail.empty()) return text;
  if (error.problem == FileProblem::kSystemError) return text + ": " + error.detail;
  return text + " (" + error.detail + ")";
}

}  // namespace quillmere
