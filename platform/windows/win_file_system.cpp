// The file primitives of Windows. Paths are UTF-8, as the rest of the
// program takes them, and reach the system as UTF-16; bytes that are no
// UTF-8 name no file. Links and junctions are followed: creating one takes the
// administrator's privilege there, so no other user plants one.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "file_system.h"
#include "system_files.h"
#include "win_errors.h"
#include "win_files.h"
#include "win_path.h"
#include "win_text.h"

namespace quillmere {

using on_windows::ErrorFromWin32;
using on_windows::LastWin32Error;
using on_windows::WinFolder;

namespace {

// The UTF-16 path of UTF-8 bytes in the form that reaches it at any length.
std::optional<std::wstring> SystemWide(std::string_view path) {
  std::optional<std::wstring> wide = WideFromUtf8(path);
  if (wide) *wide = on_windows::SystemPath(*wide);
  return wide;
}

std::size_t RootEnd(const std::wstring& path);  // below

// Where the system cannot tell an open file's final path because it is long
// (Wine's call stops at MAX_PATH), the full path is that path as long as no
// name on its way is a link.
Result<std::wstring> FullPathWithoutLinks(const std::wstring& path) {
  const std::wstring full = on_windows::SystemPath(path);
  const std::size_t root = RootEnd(full);
  if (root == std::wstring::npos) return FileError{FileProblem::kNotFound, ""};
  for (std::size_t end = full.find(L'\\', root + 1);; end = full.find(L'\\', end + 1)) {
    const std::wstring part = full.substr(0, end);
    const DWORD attributes = GetFileAttributesW(part.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastWin32Error();
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      return FileError{FileProblem::kSystemError, "a link on a path too long to resolve"};
    }
    if (end == std::wstring::npos) return full;
  }
}

// The path of an open file, opened by `path`, with every link resolved,
// "\\?\C:\folder\name".
Result<std::wstring> FinalPathOf(HANDLE file, const std::wstring& path) {
  const DWORD needed = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED);
  if (needed == 0 && GetLastError() == ERROR_MORE_DATA) return FullPathWithoutLinks(path);
  if (needed == 0) return LastWin32Error();
  std::wstring final(needed, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(file, final.data(), needed, FILE_NAME_NORMALIZED);
  if (length == 0 && GetLastError() == ERROR_MORE_DATA) return FullPathWithoutLinks(path);
  if (length == 0 || length >= needed) return LastWin32Error();
  final.resize(length);
  return final;
}

Result<std::wstring> ResolvedPath(const std::wstring& path) {
  const HANDLE file =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastWin32Error();
  Result<std::wstring> resolved =
      GetFileType(file) == FILE_TYPE_DISK
          ? FinalPathOf(file, path)
          : Result<std::wstring>(FileError{FileProblem::kNotRegularFile, "device"});
  CloseHandle(file);
  return resolved;
}

// The separator that ends the root of an absolute path: "C:\", "\\?\C:\",
// "\\server\share\" or "\\?\UNC\server\share\"; npos for any other path.
std::size_t RootEnd(const std::wstring& path) {
  constexpr std::wstring_view kVerbatim = L"\\\\?\\";
  constexpr std::wstring_view kVerbatimShare = L"\\\\?\\UNC\\";
  std::size_t share = std::wstring::npos;
  if (path.starts_with(kVerbatimShare)) {
    share = kVerbatimShare.size();
  } else if (!path.starts_with(kVerbatim) && path.starts_with(L"\\\\")) {
    share = 2;
  }
  if (share != std::wstring::npos) {
    const std::size_t server = path.find(L'\\', share);
    return server == std::wstring::npos ? server : path.find(L'\\', server + 1);
  }
  const std::size_t drive = path.starts_with(kVerbatim) ? kVerbatim.size() : 0;
  const bool rooted =
      path.size() > drive + 2 && path[drive + 1] == L':' && path[drive + 2] == L'\\';
  return rooted ? drive + 2 : std::wstring::npos;
}

// Whether something has the name; any error but its absence is told.
Result<bool> Exists(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
  return ErrorFromWin32(error);
}

// A state folder is made only inside a folder of the user's or the
// administrators': not inside another user's profile (a run as
// administrator given that user's %LOCALAPPDATA%), where that user could
// swap it.
MaybeError MayMakeFolderIn(const std::wstring& path) {
  WinFolder folder(path);
  Result<Ownership> owner = folder.Owner();
  if (!owner.has_value()) return owner.error();
  if (owner->ownedByUser || owner->ownedByAdministrator) return std::nullopt;
  return FileError{FileProblem::kUnsafeStateFolder,
                   folder.Path() + " is owned by " + owner->ownerName};
}

// Each missing folder of the path. A new folder inherits the access list of
// the one it is made in, which in the user's profile is the user's alone.
MaybeError MakeFoldersOnTheWay(const std::wstring& path) {
  std::size_t slash = RootEnd(path);
  if (slash == std::wstring::npos) return FileError{FileProblem::kNotFound, ""};
  while (slash != std::wstring::npos) {
    const std::wstring parent = path.substr(0, slash);
    slash = path.find(L'\\', slash + 1);
    const std::wstring part = path.substr(0, slash);
    Result<bool> there = Exists(part);
    if (!there.has_value()) return there.error();
    if (*there) continue;
    if (MaybeError refused = MayMakeFolderIn(parent)) return refused;
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return LastWin32Error();
    }
  }
  return std::nullopt;
}

// The folder at the path, followed where it is a link.
Result<std::unique_ptr<Folder>> ExistingFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastWin32Error();
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return FileError{FileProblem::kNotFound, ""};
  return std::unique_ptr<Folder>(std::make_unique<WinFolder>(path));
}

class WinFileSystem final : public FileSystem {
 public:
  explicit WinFileSystem(std::string recoveryFolder) : recoveryFolder_(std::move(recoveryFolder)) {}

  Result<Location> Locate(const std::string& path) override {
    const std::optional<std::wstring> wide = SystemWide(path);
    if (!wide || wide->empty()) return FileError{FileProblem::kNotFound, ""};
    Result<std::wstring> resolved = ResolvedPath(*wide);
    if (!resolved.has_value()) return resolved.error();
    const std::size_t slash = resolved->find_last_of(L'\\');
    const std::optional<std::string> name = Utf8FromWide(resolved->substr(slash + 1));
    if (!name) return FileError{FileProblem::kNotFound, ""};
    return Location{std::make_unique<WinFolder>(resolved->substr(0, slash)), *name};
  }

  Result<std::unique_ptr<Folder>> OpenFolder(const std::string& path) override {
    const std::optional<std::wstring> wide = SystemWide(path);
    if (!wide) return FileError{FileProblem::kNotFound, ""};
    return std::unique_ptr<Folder>(std::make_unique<WinFolder>(*wide));
  }

  // The recovery copies judge their folder themselves.
  Result<std::unique_ptr<Folder>> RecoveryFolder(bool create) override {
    const std::optional<std::wstring> wide = SystemWide(recoveryFolder_);
    if (recoveryFolder_.empty() || !wide)
      return FileError{FileProblem::kNotFound, "no state folder"};
    if (create) {
      if (MaybeError error = MakeFoldersOnTheWay(*wide)) return *error;
    }
    return ExistingFolder(*wide);
  }

  // Access lists are not examined (Ownership tells nothing of them): a
  // folder of the user's profile is the user's alone unless the user opened
  // it to others.
  Result<std::unique_ptr<Folder>> PrivateFolder(const std::string& path, bool create) override {
    const std::optional<std::wstring> wide = SystemWide(path);
    if (!wide || RootEnd(*wide) == std::wstring::npos) {
      return FileError{FileProblem::kNotFound, path};
    }
    if (create) {
      if (MaybeError error = MakeFoldersOnTheWay(*wide)) return *error;
    }
    Result<std::unique_ptr<Folder>> folder = ExistingFolder(*wide);
    if (!folder.has_value()) return folder;
    Result<Ownership> owner = (*folder)->Owner();
    if (!owner.has_value()) return owner.error();
    if (!owner->ownedByUser) {
      return FileError{FileProblem::kUnsafeStateFolder, path + " is owned by " + owner->ownerName};
    }
    return folder;
  }

  std::string ReadOnlyDetail() const override { return "the Read-only attribute is set"; }

 private:
  std::string recoveryFolder_;
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem(const std::string& recoveryFolder) {
  return std::make_unique<WinFileSystem>(recoveryFolder);
}

std::string DefaultStateFolder() {
  wchar_t local[MAX_PATH + 1];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return "";
  const std::optional<std::string> folder = Utf8FromWide(std::wstring(local, length));
  return folder ? *folder + "\\quillmere" : "";
}

std::string DefaultRecoveryFolder() {
  const std::string state = DefaultStateFolder();
  return state.empty() ? state : state + "\\recovery";
}

}  // namespace quillmere
