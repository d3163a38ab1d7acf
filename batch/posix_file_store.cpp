#include "posix_file_store.h"

#include <fcntl.h>

#include <cstring>
#include <memory>
#include <new>

#include "posix_file_replace.h"

namespace quillmere {

using detail::FileDescriptor;
using detail::IdentityOf;

PosixFileStore::PosixFileStore() : PosixFileStore(SystemSyscalls()) {}

PosixFileStore::PosixFileStore(PosixSyscalls& sys) : sys_(sys) {}

PosixFileStore::~PosixFileStore() {
  Flush();
}

LoadedFile PosixFileStore::Load(const std::string& path) {
  loadedIdentity_.reset();
  FileDescriptor file(sys_, detail::OpenExisting(sys_, path, O_RDONLY));
  if (!file.valid()) return {};
  struct stat before {};
  if (sys_.Fstat(file.get(), &before) != 0 || !S_ISREG(before.st_mode)) return {};
  if (!detail::LockExclusive(sys_, file.get())) return {};
  if (before.st_size < 0 || static_cast<std::uint64_t>(before.st_size) > kMaxLoadSize) return {};

  LoadedFile loaded;
  const auto size = static_cast<std::size_t>(before.st_size);
  try {
    loaded.text.resize(size);
  } catch (const std::bad_alloc&) {
    return {};
  }
  if (!detail::ReadExactly(sys_, file.get(), loaded.text.data(), size)) return {};
  // A file that grew or changed while it was read is not taken in part.
  if (!detail::AtEndOfFile(sys_, file.get())) return {};
  struct stat after {};
  if (sys_.Fstat(file.get(), &after) != 0 || IdentityOf(after) != IdentityOf(before)) return {};
  // Text holds no NUL byte; such a file (16-bit text, binary data) would be cut.
  if (std::memchr(loaded.text.data(), '\0', size) != nullptr) return {};

  loaded.status = LoadStatus::kOk;
  loadedPath_ = path;
  loadedIdentity_ = IdentityOf(after);
  return loaded;
}

bool PosixFileStore::Save(const std::string& path, const std::string& text) {
  const std::optional<detail::FileIdentity> loaded = TakeLoadedIdentity(path);
  // Resolving the path saves through a symbolic link, and fails for a file
  // that is gone: a save never creates one.
  const std::optional<std::string> target = sys_.RealPath(path.c_str());
  if (!target) return false;
  FileDescriptor original(sys_, detail::OpenExisting(sys_, *target, O_RDONLY));
  if (!original.valid()) return false;
  struct stat status {};
  if (sys_.Fstat(original.get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  if (!detail::LockExclusive(sys_, original.get())) return false;
  if (loaded && *loaded != IdentityOf(status)) return false;
  // Read-only for everybody stays read-only, even for root.
  if ((status.st_mode & 0222) == 0 || sys_.AccessWrite(target->c_str()) != 0) return false;

  if (status.st_nlink == 1) {
    switch (detail::ReplaceByRename(sys_, *target, status, text)) {
      case detail::ReplaceResult::kDone:
        unsyncedFolders_.insert(target->substr(0, target->rfind('/') + 1));
        return true;
      case detail::ReplaceResult::kFailed:
        return false;
      case detail::ReplaceResult::kNoTempFile:
        break;
    }
  }
  return detail::OverwriteInPlace(sys_, *target, original.get(), status, text);
}

void PosixFileStore::Flush() {
  // Some file systems refuse to sync a folder; the new content is in place
  // either way, so such a failure is not reported.
  for (const std::string& folder : unsyncedFolders_) {
    FileDescriptor dir(sys_, sys_.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
    if (dir.valid()) sys_.Fsync(dir.get());
  }
  unsyncedFolders_.clear();
}

std::optional<detail::FileIdentity> PosixFileStore::TakeLoadedIdentity(const std::string& path) {
  std::optional<detail::FileIdentity> identity;
  if (loadedIdentity_ && loadedPath_ == path) identity = loadedIdentity_;
  loadedIdentity_.reset();
  return identity;
}

std::unique_ptr<FileStore> MakeSystemFileStore() {
  return std::make_unique<PosixFileStore>();
}

}  // namespace quillmere
