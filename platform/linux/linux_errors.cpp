#include "linux_errors.h"

#include <cerrno>
#include <cstring>

namespace quillmere::on_linux {

FileError ErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return {FileProblem::kNotFound, ""};
    case EISDIR:
      return {FileProblem::kNotRegularFile, "folder"};
    case EACCES:
    case EPERM:
      return {FileProblem::kNoPermission, ""};
    case EROFS:
      return {FileProblem::kReadOnly, "read-only file system"};
    case EWOULDBLOCK:
      return {FileProblem::kLocked, ""};
    case ETXTBSY:
      return {FileProblem::kLocked, "a running program"};
    case ENOSPC:
      return {FileProblem::kDiskFull, ""};
    case EDQUOT:
      return {FileProblem::kDiskFull, "quota"};
    case ENOMEM:
      return {FileProblem::kOutOfMemory, ""};
    case ENAMETOOLONG:
      return {FileProblem::kSystemError, "the path is too long for the system"};
    default:
      return {FileProblem::kSystemError, std::strerror(error)};
  }
}

}  // namespace quillmere::on_linux
