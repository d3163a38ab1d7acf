#pragma once

#include <iosfwd>
#include <string>
#include <utility>

namespace quillmere {

// Why a file could not be loaded or saved.
enum class FileProblem {
  kNotFound,
  kNotRegularFile,  // a folder, device, FIFO or socket
  kHoldsNulByte,    // binary data
  kTooLarge,
  kNoPermission,
  kReadOnly,     // no write bit, or a read-only file system
  kLocked,       // held by another program
  kChanged,      // changed by another program since it was read
  kForeignLink,  // a symbolic link owned by another user
  kDiskFull,
  kOutOfMemory,
  // An interrupted rewrite in place left a recovery copy that cannot be used
  // now (the file changed since, the copy is damaged or cannot be read):
  // the file and the copy are left for the user to decide. The detail is the
  // copy's path, then "; " and why.
  kRecoveryCopyLeft,
  kChangedDuringSave,  // another program wrote to it while it was rewritten in place
  kUnsafeStateFolder,  // the private state folder belongs to another user or others may write it
  kSystemError,
  // Not text in its encoding, or not to be written back in it; the detail
  // says where and why.
  kBadEncoding,
};

// A problem with the system's own words where they add something ("folder",
// "Input/output error").
struct FileError {
  FileError() = default;
  FileError(FileProblem problem_, std::string detail_ = {})
      : problem(problem_), detail(std::move(detail_)) {}

  FileProblem problem = FileProblem::kSystemError;
  std::string detail;

  // The file (or folder) is not there.
  bool missing() const { return problem == FileProblem::kNotFound; }

  bool operator==(const FileError&) const = default;
};

// For test failures and logs: the reason text.
std::ostream& operator<<(std::ostream& out, const FileError& error);

// The reason as a user reads it: "not found", "disk full", "not a regular
// file (folder)", "system error: Input/output error".
std::string ReasonText(const FileError& error);

// The problem's name for machines: "not_found", "disk_full", ...
const char* ProblemName(FileProblem problem);

}  // namespace quillmere
