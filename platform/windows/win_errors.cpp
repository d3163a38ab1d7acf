#include "win_errors.h"

#include "win_text.h"

namespace quillmere::on_windows {
namespace {

// The system's own text for an error in UTF-8, like paths, without its line end.
std::string SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = length > 0 && text != nullptr ? ShownUtf8(std::wstring_view(text, length))
                                                      : "error " + std::to_string(error);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

}  // namespace

FileError ErrorFromWin32(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
      return {FileProblem::kNotFound, ""};
    case ERROR_DIRECTORY:
      return {FileProblem::kNotRegularFile, "folder"};
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_OWNER:
    case ERROR_PRIVILEGE_NOT_HELD:
      return {FileProblem::kNoPermission, ""};
    case ERROR_WRITE_PROTECT:
      return {FileProblem::kReadOnly, "write-protected medium"};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return {FileProblem::kLocked, ""};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return {FileProblem::kDiskFull, ""};
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return {FileProblem::kOutOfMemory, ""};
    case ERROR_FILENAME_EXCED_RANGE:
      return {FileProblem::kSystemError, "the path is too long for the system"};
    default:
      return {FileProblem::kSystemError, SystemText(error)};
  }
}

FileError LastWin32Error() {
  return ErrorFromWin32(GetLastError());
}

}  // namespace quillmere::on_windows
