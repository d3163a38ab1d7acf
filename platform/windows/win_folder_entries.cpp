#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string_view>

#include "folder_entries.h"
#include "win_errors.h"
#include "win_path.h"
#include "win_text.h"

namespace quillmere {
namespace {

// A link or junction leads to a folder when it carries the folder attribute.
EntryKind KindOf(const WIN32_FIND_DATAW& entry) {
  if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return EntryKind::kFile;
  const bool link = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                    (entry.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
                     entry.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
  return link ? EntryKind::kLinkToFolder : EntryKind::kFolder;
}

}  // namespace

Result<std::vector<FolderEntry>> ReadFolder(const std::string& path) {
  const std::optional<std::wstring> wide = WideFromUtf8(path);
  if (!wide || wide->empty()) return FileError{FileProblem::kNotFound, ""};
  WIN32_FIND_DATAW entry{};
  const std::wstring pattern = on_windows::JoinedPath(on_windows::SystemPath(*wide), L"*");
  const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  std::vector<FolderEntry> entries;
  if (search == INVALID_HANDLE_VALUE) {
    // A drive's empty root folder has not even "." and "..".
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return entries;
    return on_windows::LastWin32Error();
  }
  do {
    const std::wstring_view name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::optional<std::string> bytes = Utf8FromWide(name);
    entries.push_back({bytes.value_or(""), KindOf(entry), bytes.has_value()});
  } while (FindNextFileW(search, &entry));
  const DWORD error = GetLastError();
  FindClose(search);
  if (error != ERROR_NO_MORE_FILES) return on_windows::ErrorFromWin32(error);
  return entries;
}

bool IsFolder(const std::string& path) {
  const std::optional<std::wstring> wide = WideFromUtf8(path);
  if (!wide || wide->empty()) return false;
  const DWORD attributes = GetFileAttributesW(on_windows::SystemPath(*wide).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace quillmere
