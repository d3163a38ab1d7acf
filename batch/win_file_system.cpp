// The file primitives of Windows. Paths are UTF-8, as the rest of the
// program takes them, and reach the system as UTF-16; bytes that are no
// UTF-8 name no file. Links and junctions are followed: creating one takes the
// administrator's privilege there, so no other user plants one.
#include <memory>
#include <string>

#include "file_system.h"
#include "win_errors.h"
#include "win_files.h"
#include "win_text.h"

namespace quillmere {

using detail::LastWin32Error;
using detail::WinFolder;

namespace {

// The path of an open file with every link resolved, "\\?\C:\folder\name".
Result<std::wstring> FinalPathOf(HANDLE file) {
  const DWORD needed = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED);
  if (needed == 0) return LastWin32Error();
  std::wstring path(needed, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(file, path.data(), needed, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= needed) return LastWin32Error();
  path.resize(length);
  return path;
}

Result<std::wstring> ResolvedPath(const std::wstring& path) {
  const HANDLE file =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastWin32Error();
  Result<std::wstring> resolved =
      GetFileType(file) == FILE_TYPE_DISK
          ? FinalPathOf(file)
          : Result<std::wstring>(FileError{FileProblem::kNotRegularFile, "device"});
  CloseHandle(file);
  return resolved;
}

class WinFileSystem final : public FileSystem {
 public:
  explicit WinFileSystem(std::string recoveryFolder) : recoveryFolder_(std::move(recoveryFolder)) {}

  Result<Location> Locate(const std::string& path) override {
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide || wide->empty()) return FileError{FileProblem::kNotFound, ""};
    Result<std::wstring> resolved = ResolvedPath(*wide);
    if (!resolved.ok()) return resolved.error();
    const std::size_t slash = resolved->find_last_of(L'\\');
    const std::optional<std::string> name = Utf8FromWide(resolved->substr(slash + 1));
    if (!name) return FileError{FileProblem::kNotFound, ""};
    return Location{std::make_unique<WinFolder>(resolved->substr(0, slash)), *name};
  }

  Result<std::unique_ptr<Folder>> OpenFolder(const std::string& path) override {
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide) return FileError{FileProblem::kNotFound, ""};
    return std::unique_ptr<Folder>(std::make_unique<WinFolder>(*wide));
  }

  Result<std::unique_ptr<Folder>> RecoveryFolder(bool create) override {
    const std::optional<std::wstring> wide = WideFromUtf8(recoveryFolder_);
    if (recoveryFolder_.empty() || !wide)
      return FileError{FileProblem::kNotFound, "no state folder"};
    if (create) {
      // Each missing folder on the way.
      for (std::size_t slash = wide->find(L'\\', 3);; slash = wide->find(L'\\', slash + 1)) {
        const std::wstring part = wide->substr(0, slash);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
          return LastWin32Error();
        }
        if (slash == std::wstring::npos) break;
      }
    }
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastWin32Error();
    return std::unique_ptr<Folder>(std::make_unique<WinFolder>(*wide));
  }

 private:
  std::string recoveryFolder_;
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem(const std::string& recoveryFolder) {
  return std::make_unique<WinFileSystem>(recoveryFolder);
}

std::string DefaultRecoveryFolder() {
  wchar_t local[MAX_PATH + 1];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return "";
  const std::optional<std::string> folder = Utf8FromWide(std::wstring(local, length));
  return folder ? *folder + "\\quillmere\\recovery" : "";
}

}  // namespace quillmere
