#include "safe_file_store.h"

#include <utility>

#include "file_content.h"

namespace quillmere {

using detail::ContentHash;
using detail::NulBytes;
using detail::ReadWhole;
using detail::WriteWhole;

namespace {

// A copy-on-write file system needs room for the whole new content before
// a rewrite in place can be sure to finish; this much more is kept for the
// file system's own records.
constexpr std::uint64_t kRoomToSpare = std::uint64_t{4} << 20;

bool Missing(const FileError& error) {
  return error.problem == FileProblem::kNotFound;
}

// The file types other than a regular file, as a user names them.
MaybeError RegularFileOnly(const FileInfo& info) {
  switch (info.kind) {
    case FileKind::kRegular:
      return std::nullopt;
    case FileKind::kFolder:
      return FileError{FileProblem::kNotRegularFile, "folder"};
    case FileKind::kDevice:
      return FileError{FileProblem::kNotRegularFile, "device"};
    case FileKind::kFifo:
      return FileError{FileProblem::kNotRegularFile, "FIFO"};
    case FileKind::kSocket:
      return FileError{FileProblem::kNotRegularFile, "socket"};
    case FileKind::kLink:
    case FileKind::kOther:
      break;
  }
  return FileError{FileProblem::kNotRegularFile, ""};
}

FileError ReadOnly() {
  return FileError{FileProblem::kReadOnly, "no write bit"};
}

}  // namespace

struct SafeFileStore::Target {
  Location where;
  std::unique_ptr<OpenFile> file;
  FileInfo info;
};

SafeFileStore::SafeFileStore(std::unique_ptr<FileSystem> fs)
    : fs_(std::move(fs)), recovery_(*fs_) {}

SafeFileStore::~SafeFileStore() {
  Flush();
}

LoadedFile SafeFileStore::Load(const std::string& path) {
  loaded_.reset();
  LoadedFile loaded;
  Result<std::string> text = LoadText(path, loaded);
  if (!text.ok()) {
    loaded.error = text.error();
    return loaded;
  }
  loaded.text = std::move(*text);
  return loaded;
}

Result<std::string> SafeFileStore::LoadText(const std::string& path, LoadedFile& loaded) {
  Result<Location> where = fs_->Locate(path);
  if (!where.ok()) return where.error();
  Result<std::unique_ptr<OpenFile>> opened = where->folder->Open(where->name, Access::kRead);
  if (!opened.ok()) return opened.error();
  std::unique_ptr<OpenFile> file = std::move(*opened);
  Result<FileInfo> info = file->Info();
  if (!info.ok()) return info.error();
  if (MaybeError error = RegularFileOnly(*info)) return *error;

  if (MaybeError error = RestoreIfInterrupted(*where, file, *info, loaded.restored)) return *error;
  // New content that an interrupted save left beside the file. The file is
  // held, so no save of it is going on.
  where->folder->Remove(detail::NewContentName(where->name));

  if (loaded.restored) info = file->Info();
  if (!info.ok()) return info.error();
  if (info->size > kMaxLoadSize) return FileError{FileProblem::kTooLarge, ""};
  Result<std::string> text = ReadWhole(*file, info->size, NulBytes::kRefused);
  if (!text.ok()) return text.error();
  Result<FileInfo> after = file->Info();
  if (!after.ok()) return after.error();
  if (VersionOf(*after) != VersionOf(*info)) return FileError{FileProblem::kChanged, ""};

  loaded_ = LoadedVersion{path, VersionOf(*after), ContentHash(*text)};
  loaded.key = after->key;
  return text;
}

MaybeError SafeFileStore::RestoreIfInterrupted(Location& where, std::unique_ptr<OpenFile>& file,
                                               const FileInfo& info, bool& restored) {
  std::optional<detail::RecoveryCopy> copy = recovery_.Find(*where.folder, where.name, info.key);
  if (!copy) return std::nullopt;
  file.reset();
  Result<std::unique_ptr<OpenFile>> writable = where.folder->Open(where.name, Access::kReadWrite);
  if (!writable.ok()) return writable.error();
  file = std::move(*writable);
  Result<FileInfo> now = file->Info();
  if (!now.ok()) return now.error();
  if (now->key != info.key) return FileError{FileProblem::kChanged, ""};
  Result<bool> done = recovery_.Restore(*copy, *file, info.key);
  if (!done.ok()) return done.error();
  restored = *done;
  return std::nullopt;
}

MaybeError SafeFileStore::Stamp(const std::string& path, FileStamp& stamp) {
  Result<Location> where = fs_->Locate(path);
  if (!where.ok()) return where.error();
  Result<std::unique_ptr<OpenFile>> file = where->folder->Open(where->name, Access::kRead);
  if (!file.ok()) return file.error();
  Result<FileInfo> info = (*file)->Info();
  if (!info.ok()) return info.error();
  if (MaybeError error = RegularFileOnly(*info)) return error;
  Result<FileAttributes> attributes = (*file)->ReadAttributes();
  if (!attributes.ok()) return attributes.error();
  stamp = {info->size, info->accessed, info->modified, attributes->mode};
  return std::nullopt;
}

MaybeError SafeFileStore::Restamp(const std::string& path, const FileStamp& stamp) {
  Result<Location> where = fs_->Locate(path);
  if (!where.ok()) return where.error();
  Result<std::unique_ptr<OpenFile>> file = where->folder->Open(where->name, Access::kReadWrite);
  if (!file.ok()) return file.error();
  if (MaybeError error = (*file)->SetMode(stamp.mode)) return error;
  return (*file)->SetTimes(stamp.accessed, stamp.modified);
}

std::optional<FileKey> SafeFileStore::KeyOf(const std::string& path) {
  Result<Location> where = fs_->Locate(path);
  if (!where.ok()) return std::nullopt;
  Result<FileInfo> info = where->folder->InfoOf(where->name);
  if (!info.ok()) return std::nullopt;
  return info->key;
}

MaybeError SafeFileStore::CheckSave(const std::string& path) {
  const LoadedVersion* loaded = loaded_ && loaded_->path == path ? &*loaded_ : nullptr;
  Result<Target> target = OpenForSave(path, loaded);
  return target.ok() ? std::nullopt : MaybeError(target.error());
}

MaybeError SafeFileStore::Save(const std::string& path, const std::string& text) {
  std::optional<LoadedVersion> loaded;
  if (loaded_ && loaded_->path == path) loaded = std::move(loaded_);
  loaded_.reset();
  const LoadedVersion* version = loaded ? &*loaded : nullptr;

  Result<Target> target = OpenForSave(path, version);
  if (!target.ok()) return target.error();
  if (target->info.linkCount == 1) {
    MaybeError error;
    switch (ReplaceByRename(*target, text, error)) {
      case RenameOutcome::kDone:
        return std::nullopt;
      case RenameOutcome::kFailed:
        return error;
      case RenameOutcome::kUseInPlace:
        break;
    }
  }
  return OverwriteInPlace(*target, text, version);
}

Result<SafeFileStore::Target> SafeFileStore::OpenForSave(const std::string& path,
                                                         const LoadedVersion* loaded) {
  Result<Location> where = fs_->Locate(path);
  if (!where.ok()) return where.error();
  Result<std::unique_ptr<OpenFile>> file = where->folder->Open(where->name, Access::kReadWrite);
  if (!file.ok()) {
    // Told apart for the user: nobody may write it, or only others may.
    Result<FileInfo> info = where->folder->InfoOf(where->name);
    if (file.error().problem == FileProblem::kNoPermission && info.ok() && !info->writeBitSet) {
      return ReadOnly();
    }
    return file.error();
  }
  Result<FileInfo> info = (*file)->Info();
  if (!info.ok()) return info.error();
  if (MaybeError error = RegularFileOnly(*info)) return *error;
  // Read-only for everybody stays read-only, even for the administrator.
  if (!info->writeBitSet) return ReadOnly();
  if (loaded && loaded->version != VersionOf(*info)) return FileError{FileProblem::kChanged, ""};
  return Target{std::move(*where), std::move(*file), *info};
}

SafeFileStore::RenameOutcome SafeFileStore::ReplaceByRename(Target& target, const std::string& text,
                                                            MaybeError& error) {
  Folder& folder = *target.where.folder;
  const std::string tempName = detail::NewContentName(target.where.name);
  // One left by an interrupted save; the target is held, so no save of it
  // is going on.
  folder.Remove(tempName);
  Result<std::unique_ptr<OpenFile>> temp = folder.Create(tempName);
  if (!temp.ok()) {
    const FileProblem problem = temp.error().problem;
    if (problem == FileProblem::kNoPermission || problem == FileProblem::kReadOnly) {
      return RenameOutcome::kUseInPlace;
    }
    error = temp.error();
    return RenameOutcome::kFailed;
  }
  const auto discard = [&] {
    temp->reset();
    folder.Remove(tempName);
  };

  error = WriteWhole(**temp, text);
  if (error) {
    discard();
    return RenameOutcome::kFailed;
  }
  // Who may read and write the file stays exactly as it was; where that
  // cannot be given to a new file, the file is rewritten in place instead.
  Result<FileAttributes> attributes = target.file->ReadAttributes();
  if (!attributes.ok() || (*temp)->WriteAttributes(*attributes)) {
    discard();
    return RenameOutcome::kUseInPlace;
  }
  error = (*temp)->Sync();
  if (!error) {
    target.file->AllowReplace();
    Result<FileInfo> now = folder.InfoOf(target.where.name);
    if (!now.ok() && !Missing(now.error())) {
      error = now.error();
    } else if (!now.ok() || VersionOf(*now) != VersionOf(target.info)) {
      error = FileError{FileProblem::kChanged, ""};
    } else {
      error = (*temp)->RenameTo(target.where.name);
    }
  }
  if (error) {
    discard();
    return RenameOutcome::kFailed;
  }
  unsyncedFolders_.insert(folder.Path());
  return RenameOutcome::kDone;
}

MaybeError SafeFileStore::OverwriteInPlace(Target& target, const std::string& text,
                                           const LoadedVersion* loaded) {
  OpenFile& file = *target.file;
  Result<std::string> old = ReadWhole(file, target.info.size, NulBytes::kAllowed);
  if (!old.ok()) return old.error();
  // The times can be put back after a change; the content cannot lie.
  if (loaded && ContentHash(*old) != loaded->hash) return FileError{FileProblem::kChanged, ""};
  if (file.CopiesOnWrite()) {
    Result<std::uint64_t> free = file.FreeSpace();
    if (!free.ok()) return free.error();
    if (*free < text.size() + kRoomToSpare) return FileError{FileProblem::kDiskFull, ""};
  }

  Folder& folder = *target.where.folder;
  Result<detail::RecoveryCopy> copy = recovery_.Make(folder, target.where.name, target.info.key,
                                                     *old, folder.PathOf(target.where.name));
  if (!copy.ok()) return copy.error();
  MaybeError error = WriteInPlace(file, text, old->size());
  if (error) {
    // Put the old content back; should that fail too, the copy stays and
    // the next load of the file restores it.
    MaybeError putBack = WriteWhole(file, *old);
    if (!putBack) putBack = file.Truncate(old->size());
    if (!putBack) putBack = file.Sync();
    if (putBack) return error;
  }
  recovery_.Remove(*copy);
  return error;
}

MaybeError SafeFileStore::WriteInPlace(OpenFile& file, const std::string& text,
                                       std::uint64_t oldSize) {
  // A failed reservation may have grown the file; putting the old content
  // back cuts it to its old length.
  if (text.size() > oldSize) {
    if (MaybeError error = file.Reserve(text.size())) return error;
  }
  if (MaybeError error = WriteWhole(file, text)) return error;
  if (MaybeError error = file.Truncate(text.size())) return error;
  return file.Sync();
}

std::unique_ptr<FileStore> MakeSystemFileStore() {
  return std::make_unique<SafeFileStore>(MakeSystemFileSystem(DefaultRecoveryFolder()));
}

void SafeFileStore::Flush() {
  for (const std::string& path : unsyncedFolders_) {
    // Some file systems refuse to sync a folder; the new content is in place
    // either way, so such a failure is not reported.
    Result<std::unique_ptr<Folder>> folder = fs_->OpenFolder(path);
    if (folder.ok()) (*folder)->Sync();
  }
  unsyncedFolders_.clear();
}

}  // namespace quillmere
