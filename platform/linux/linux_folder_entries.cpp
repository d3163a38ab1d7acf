#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "folder_entries.h"
#include "linux_errors.h"

namespace quillmere {
namespace {

struct FolderCloser {
  void operator()(DIR* folder) const { ::closedir(folder); }
};

// The kind of an entry whose type the listing left open or which is a link:
// found by looking at it (and, for a link, at what it leads to).
EntryKind KindOf(DIR* folder, const dirent& entry) {
  struct stat info {};
  const int at = ::dirfd(folder);
  if (entry.d_type == DT_UNKNOWN && ::fstatat(at, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
      !S_ISLNK(info.st_mode)) {
    return S_ISDIR(info.st_mode) ? EntryKind::kFolder : EntryKind::kFile;
  }
  if (::fstatat(at, entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode)) {
    return EntryKind::kLinkToFolder;
  }
  return EntryKind::kFile;
}

}  // namespace

Result<std::vector<FolderEntry>> ReadFolder(const std::string& path) {
  const std::unique_ptr<DIR, FolderCloser> folder(::opendir(path.c_str()));
  if (!folder) return on_linux::ErrorFromErrno(errno);
  std::vector<FolderEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(folder.get());
    if (entry == nullptr) break;
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    EntryKind kind = EntryKind::kFile;
    if (entry->d_type == DT_DIR) {
      kind = EntryKind::kFolder;
    } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      kind = KindOf(folder.get(), *entry);
    }
    entries.push_back({entry->d_name, kind, true});
  }
  if (errno != 0) return on_linux::ErrorFromErrno(errno);
  return entries;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace quillmere
