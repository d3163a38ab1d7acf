#include "safe_file_store.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>

#include "file_content.h"
#include "system_files.h"

namespace quillmere {

namespace {

// A copy-on-write file system needs room for the whole new content before
// a rewrite in place can be sure to finish; this much more is kept for the
// file system's own records.
constexpr std::uint64_t kRoomToSpare = std::uint64_t{4} << 20;

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

FileError ReadOnly(const FileSystem& files) {
  return FileError{FileProblem::kReadOnly, files.ReadOnlyDetail()};
}

FileError Changed() {
  return FileError{FileProblem::kChanged, ""};
}

FileError RestoreFirst() {
  return FileError{FileProblem::kChanged, "its recovery copy is to be put back first"};
}

// The name still leads to the open file: it was not removed, nor another
// file renamed over it, since the file was opened (whose old self may then
// be open here, with no name left).
MaybeError StillNamed(Folder& folder, const std::string& name, const FileInfo& info) {
  Result<FileInfo> named = folder.InfoOf(name);
  if (!named.has_value()) return named.error().missing() ? Changed() : named.error();
  if (named->key.device != info.key.device || named->key.id != info.key.id) return Changed();
  return std::nullopt;
}

// The file must still be what was read, to the byte, under its name.
MaybeError StillAsRead(Location& where, OpenFile& file, const FileInfo& info,
                       std::string_view content) {
  Result<FileInfo> now = file.Info();
  if (!now.has_value()) return now.error();
  if (VersionOf(*now) != VersionOf(info)) return Changed();
  if (MaybeError error = StillNamed(*where.folder, where.name, *now)) return error;
  Result<bool> same = Holds(file, content);
  if (!same.has_value()) return same.error();
  if (!*same) return Changed();
  return std::nullopt;
}

// Other programs that open the file wait while it is rewritten, where the
// system allows.
class OthersHeldBack {
 public:
  explicit OthersHeldBack(OpenFile& file) : file_(file) { file_.HoldOthersBack(); }
  OthersHeldBack(const OthersHeldBack&) = delete;
  OthersHeldBack& operator=(const OthersHeldBack&) = delete;
  ~OthersHeldBack() { file_.LetOthersIn(); }

 private:
  OpenFile& file_;
};

}  // namespace

struct SafeFileStore::Target {
  Location where;
  std::unique_ptr<OpenFile> file;
  FileInfo info;
};

// A save held back: its new content written beside the file and on its way
// to the disk, the file held open as it was found.
struct SafeFileStore::Held {
  std::string path;
  Target target;
  std::unique_ptr<OpenFile> temp;
  SaveDone done;
};

// What a new file is made with: its owner's alone.
constexpr std::uint32_t kPrivateMode = 0600;

// The old file of a save whose new content took its name by an exchange of
// names: it lies under the new content's former name, held open, and is
// written again as the next new content in its folder. A run then makes no
// new file per save; making one is slow on a disk where many files were
// just removed.
struct SafeFileStore::Spare {
  FileKey folderKey;
  std::unique_ptr<Folder> folder;
  std::string name;
  std::unique_ptr<OpenFile> file;
};

SafeFileStore::SafeFileStore(std::unique_ptr<FileSystem> fs)
    : fs_(std::move(fs)), recovery_(*fs_) {}

SafeFileStore::~SafeFileStore() {
  Flush();
}

LoadedFile SafeFileStore::Load(const std::string& path) {
  return LoadOrPeek(path, Mode::kLoad);
}

LoadedFile SafeFileStore::Peek(const std::string& path) {
  return LoadOrPeek(path, Mode::kPeek);
}

LoadedFile SafeFileStore::LoadOrPeek(const std::string& path, Mode mode) {
  loaded_.reset();
  LoadedFile loaded;
  Result<std::string> text = LoadText(path, loaded, mode);
  if (!text.has_value()) {
    loaded.error = text.error();
    loaded.restored = false;
    return loaded;
  }
  loaded.text = std::move(*text);
  return loaded;
}

Result<std::string> SafeFileStore::LoadText(const std::string& path, LoadedFile& loaded,
                                            Mode mode) {
  Result<Location> where = fs_->Locate(path);
  if (!where.has_value()) return where.error();
  Result<std::unique_ptr<OpenFile>> opened = where->folder->Open(where->name, Access::kRead);
  if (!opened.has_value()) return opened.error();
  std::unique_ptr<OpenFile> file = std::move(*opened);
  Result<FileInfo> info = file->Info();
  if (!info.has_value()) return info.error();
  if (MaybeError error = RegularFileOnly(*info)) return *error;
  Result<std::uint32_t> fileMode = file->ReadMode();
  if (!fileMode.has_value()) return fileMode.error();
  loaded.stamp = FileStamp{info->size, info->accessed, info->modified, *fileMode, info->key};

  Result<std::optional<std::string>> recovered = Recover(*where, file, *info, loaded, mode);
  if (!recovered.has_value()) return recovered.error();
  if (mode == Mode::kLoad) RemoveLeftoverNewContent(*where, *file);

  std::string text;
  if (*recovered) {
    text = std::move(**recovered);
  } else {
    if (info->size > kMaxLoadSize) return FileError{FileProblem::kTooLarge, ""};
    Result<std::string> read = ReadWhole(*file, info->size);
    if (!read.has_value()) return read.error();
    text = std::move(*read);
  }
  if (text.size() > kMaxLoadSize) return FileError{FileProblem::kTooLarge, ""};
  Result<FileInfo> after = file->Info();
  if (!after.has_value()) return after.error();
  if (VersionOf(*after) != VersionOf(*info)) return FileError{FileProblem::kChanged, ""};

  const bool restorePending = mode == Mode::kPeek && loaded.restored;
  loaded_ = LoadedVersion{path, VersionOf(*after), ContentHash(text), restorePending};
  loaded.key = after->key;
  return text;
}

// What an interrupted rewrite in place left decides where the load starts:
// the old content put back (in a peek: taken from the copy), the file as it
// is, or, for a file changed since, nothing at all. The content is given
// when it was read here already.
Result<std::optional<std::string>> SafeFileStore::Recover(Location& where,
                                                          std::unique_ptr<OpenFile>& file,
                                                          FileInfo& info, LoadedFile& loaded,
                                                          Mode mode) {
  Result<std::optional<RecoveryCopy>> found =
      recovery_.Find(*where.folder, where.name, *file, info.key, loaded.notes);
  if (!found.has_value()) return found.error();
  if (!*found) return std::optional<std::string>();
  RecoveryCopy& copy = **found;
  const auto left = [&](const std::string& why) {
    return FileError{FileProblem::kRecoveryCopyLeft, copy.Path() + "; " + why};
  };
  Result<ParsedCopy> parsed = recovery_.Read(copy, *file);
  if (!parsed.has_value()) return left("it cannot be read: " + ReasonText(parsed.error()));
  switch (parsed->condition) {
    case CopyCondition::kWhole:
      recovery_.AdoptPointer(copy, parsed->record.key);
      break;
    case CopyCondition::kCutShort:
      // Made no further than that: the file itself was not touched yet.
      if (mode == Mode::kLoad) recovery_.Remove(copy);
      return std::optional<std::string>();
    case CopyCondition::kDamaged:
      return left("the copy is damaged");
    case CopyCondition::kForeign:
      loaded.notes.push_back({FileNote::Kind::kIgnoredCopy,
                              FileError{FileProblem::kNoPermission, "not a recovery copy"},
                              copy.Path()});
      return std::optional<std::string>();
  }

  if (mode == Mode::kLoad) {
    // Judged and put back through one handle that may write, so that nothing
    // changes the file in between.
    file.reset();
    Result<std::unique_ptr<OpenFile>> writable = where.folder->Open(where.name, Access::kReadWrite);
    if (!writable.has_value()) return writable.error();
    file = std::move(*writable);
    Result<FileInfo> now = file->Info();
    if (!now.has_value()) return now.error();
    if (now->key.device != info.key.device || now->key.id != info.key.id) return Changed();
    if (MaybeError error = StillNamed(*where.folder, where.name, *now)) return *error;
    info = *now;
  }
  const RecoveryRecord& record = parsed->record;
  if (info.size > std::max<std::uint64_t>(record.old.size(), record.newSize)) {
    return left("the file changed since");
  }
  Result<std::string> current = ReadWhole(*file, info.size);
  if (!current.has_value()) return current.error();
  switch (StateOf(record, *current)) {
    case RewriteState::kChangedSince:
      return left("the file changed since");
    case RewriteState::kNotStarted:
      if (mode == Mode::kLoad) recovery_.Remove(copy);
      return std::optional<std::string>(std::move(*current));
    case RewriteState::kInterrupted:
      break;
  }
  loaded.restored = true;
  if (mode == Mode::kPeek) return std::optional<std::string>(record.old);
  MaybeError error = WriteWhole(*file, record.old);
  if (!error) error = file->Truncate(record.old.size());
  if (!error) error = file->Sync();
  if (error) return *error;
  recovery_.Remove(copy);
  Result<FileInfo> restored = file->Info();
  if (!restored.has_value()) return restored.error();
  info = *restored;
  return std::optional<std::string>(record.old);
}

// New content that an interrupted save left beside the file, if it is this
// program's own. The file is held, so no save of it is going on.
void SafeFileStore::RemoveLeftoverNewContent(Location& where, OpenFile& file) {
  const std::string name = NewContentName(where.name);
  if (!where.folder->InfoOf(name).has_value() || IsSpare(*where.folder, name)) return;
  // Best done: one that stays is removed by the next save.
  if (!WhyNotTrustedIn(*where.folder, name, file)) (void)where.folder->Remove(name);
}

namespace {

MaybeError StampOf(OpenFile& file, FileStamp& stamp) {
  Result<FileInfo> info = file.Info();
  if (!info.has_value()) return info.error();
  if (MaybeError error = RegularFileOnly(*info)) return error;
  Result<std::uint32_t> mode = file.ReadMode();
  if (!mode.has_value()) return mode.error();
  stamp = {info->size, info->accessed, info->modified, *mode, info->key};
  return std::nullopt;
}

MaybeError RestampOf(OpenFile& file, const FileStamp& stamp) {
  if (MaybeError error = file.SetMode(stamp.mode)) return error;
  return file.SetTimes(stamp.accessed, stamp.modified);
}

}  // namespace

Result<std::unique_ptr<OpenFile>> SafeFileStore::OpenByPath(const std::string& path,
                                                            Access access) {
  Result<Location> where = fs_->Locate(path);
  if (!where.has_value()) return where.error();
  return where->folder->Open(where->name, access);
}

// A file a batch just saved is stamped through the new file itself: it is
// what the save left, whatever has happened to the name since.
MaybeError SafeFileStore::Stamp(const std::string& path, FileStamp& stamp) {
  if (OpenFile* saved = JustSaved(path)) return StampOf(*saved, stamp);
  Result<std::unique_ptr<OpenFile>> file = OpenByPath(path, Access::kRead);
  if (!file.has_value()) return file.error();
  return StampOf(**file, stamp);
}

MaybeError SafeFileStore::Restamp(const std::string& path, const FileStamp& stamp) {
  if (OpenFile* saved = JustSaved(path)) return RestampOf(*saved, stamp);
  Result<std::unique_ptr<OpenFile>> file = OpenByPath(path, Access::kReadWrite);
  if (!file.has_value()) return file.error();
  return RestampOf(**file, stamp);
}

std::optional<FileKey> SafeFileStore::KeyOf(const std::string& path) {
  if (OpenFile* saved = JustSaved(path)) {
    Result<FileInfo> info = saved->Info();
    return info.has_value() ? std::optional<FileKey>(info->key) : std::nullopt;
  }
  Result<Location> where = fs_->Locate(path);
  if (!where.has_value()) return std::nullopt;
  Result<FileInfo> info = where->folder->InfoOf(where->name);
  if (!info.has_value()) return std::nullopt;
  return info->key;
}

MaybeError SafeFileStore::CheckSave(const std::string& path) {
  const LoadedVersion* loaded = loaded_ && loaded_->path == path ? &*loaded_ : nullptr;
  Result<Target> target = OpenForSave(path, loaded);
  return target.has_value() ? std::nullopt : MaybeError(target.error());
}

std::optional<SafeFileStore::LoadedVersion> SafeFileStore::TakeLoaded(const std::string& path) {
  std::optional<LoadedVersion> loaded;
  if (loaded_ && loaded_->path == path) loaded = std::move(loaded_);
  loaded_.reset();
  return loaded;
}

MaybeError SafeFileStore::Save(const std::string& path, const std::string& text) {
  const std::optional<LoadedVersion> loaded = TakeLoaded(path);
  const LoadedVersion* version = loaded ? &*loaded : nullptr;
  if (version != nullptr && version->restorePending) return RestoreFirst();

  Result<Target> target = OpenForSave(path, version);
  if (!target.has_value()) return target.error();
  if (target->info.linkCount == 1) {
    MaybeError error;
    switch (ReplaceByRename(*target, text, version, error)) {
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

void SafeFileStore::SaveInBatch(const std::string& path, const std::string& text, SaveDone done) {
  const std::optional<LoadedVersion> loaded = TakeLoaded(path);
  const LoadedVersion* version = loaded ? &*loaded : nullptr;
  if (version != nullptr && version->restorePending) return done(RestoreFirst());

  // What is not held back is told done once the file is let go, so that
  // the layers above may open it again.
  MaybeError error;
  {
    Result<Target> target = OpenForSave(path, version);
    if (!target.has_value()) return done(target.error());
    RenameOutcome outcome = RenameOutcome::kUseInPlace;
    if (target->info.linkCount == 1) {
      std::unique_ptr<OpenFile> temp;
      outcome = WriteNewContent(*target, text, version, temp, error);
      if (outcome == RenameOutcome::kDone) {
        temp->StartSync();
        heldBytes_ += text.size();
        held_.push_back(Held{path, std::move(*target), std::move(temp), std::move(done)});
        return;
      }
    }
    // A rewrite in place is made durable by itself, with its recovery copy.
    if (outcome == RenameOutcome::kUseInPlace) error = OverwriteInPlace(*target, text, version);
  }
  done(std::move(error));
}

bool SafeFileStore::BatchFull() {
  return held_.size() >= kBatchFiles || heldBytes_ >= kBatchBytes;
}

// The batch's new contents are flushed together (their writing out began
// as each was written), then renamed over their files, then each folder
// is flushed once; only then is each save told done. A crash at any point
// leaves each file wholly old or wholly new.
void SafeFileStore::CommitAfter(const BeforeReplacing& beforeReplacing) {
  std::vector<Held> held = std::move(held_);
  held_.clear();
  heldBytes_ = 0;
  std::vector<MaybeError> errors(held.size());
  for (std::size_t i = 0; i < held.size(); ++i) errors[i] = held[i].temp->Sync();
  if (beforeReplacing) beforeReplacing();
  std::map<std::string, Folder*> folders;
  std::vector<bool> keptOld(held.size(), false);
  for (std::size_t i = 0; i < held.size(); ++i) {
    Target& target = held[i].target;
    bool kept = false;
    if (!errors[i]) errors[i] = PutInPlace(target, *held[i].temp, &kept);
    keptOld[i] = kept;
    if (errors[i]) {
      DiscardNewContent(target, held[i].temp);
    } else {
      folders.emplace(target.where.folder->Path(), target.where.folder.get());
    }
  }
  // Some file systems refuse to sync a folder; the new content is in place
  // either way, so such a failure is not reported.
  for (const auto& [path, folder] : folders) (void)folder->Sync();
  folders.clear();
  for (std::size_t i = 0; i < held.size(); ++i) {
    if (keptOld[i]) KeepSpare(held[i].target);
  }
  DropSpares(kBatchFiles);
  // The files are let go before their saves are told done, but for the
  // new ones, which stay at hand (for this process alone) until then.
  std::vector<SaveDone> done;
  done.reserve(held.size());
  for (std::size_t i = 0; i < held.size(); ++i) {
    done.push_back(std::move(held[i].done));
    if (errors[i]) continue;
    held[i].temp->LetOthersIn();
    justSaved_[held[i].path] = std::move(held[i].temp);
  }
  held.clear();
  for (std::size_t i = 0; i < done.size(); ++i) done[i](std::move(errors[i]));
  justSaved_.clear();
}

OpenFile* SafeFileStore::JustSaved(const std::string& path) {
  const auto found = justSaved_.find(path);
  return found == justSaved_.end() ? nullptr : found->second.get();
}

Result<SafeFileStore::Target> SafeFileStore::OpenForSave(const std::string& path,
                                                         const LoadedVersion* loaded) {
  Result<Location> where = fs_->Locate(path);
  if (!where.has_value()) return where.error();
  Result<std::unique_ptr<OpenFile>> file = where->folder->Open(where->name, Access::kReadWrite);
  if (!file.has_value()) {
    // Told apart for the user: nobody may write it, or only others may.
    Result<FileInfo> info = where->folder->InfoOf(where->name);
    if (file.error().problem == FileProblem::kNoPermission && info.has_value() &&
        !info->writeBitSet) {
      return ReadOnly(*fs_);
    }
    return file.error();
  }
  Result<FileInfo> info = (*file)->Info();
  if (!info.has_value()) return info.error();
  if (MaybeError error = RegularFileOnly(*info)) return *error;
  // Read-only for everybody stays read-only, even for the administrator.
  if (!info->writeBitSet) return ReadOnly(*fs_);
  if (MaybeError error = StillNamed(*where->folder, where->name, *info)) return *error;
  if (loaded && loaded->version != VersionOf(*info)) {
    if (MaybeError error = OnlyMetadataMoved(**file, *loaded, *info)) return *error;
  }
  return Target{std::move(*where), std::move(*file), *info};
}

// A file whose number, size and time of last change stayed while its change
// time (or birth) moved may only have had its metadata touched: an overlay
// file system copies a file up to its upper layer when it is first opened
// for writing. Its content decides.
MaybeError SafeFileStore::OnlyMetadataMoved(OpenFile& file, const LoadedVersion& loaded,
                                            const FileInfo& now) {
  const FileVersion& then = loaded.version;
  if (then.key.device != now.key.device || then.key.id != now.key.id || then.size != now.size ||
      then.modified != now.modified) {
    return Changed();
  }
  Result<std::uint64_t> hash = ContentHashOf(file);
  if (!hash.has_value()) return hash.error();
  if (*hash != loaded.hash) return Changed();
  return std::nullopt;
}

SafeFileStore::RenameOutcome SafeFileStore::ReplaceByRename(Target& target, const std::string& text,
                                                            const LoadedVersion* loaded,
                                                            MaybeError& error) {
  std::unique_ptr<OpenFile> temp;
  const RenameOutcome written = WriteNewContent(target, text, loaded, temp, error);
  if (written != RenameOutcome::kDone) return written;
  error = temp->Sync();
  if (!error) error = PutInPlace(target, *temp, nullptr);
  if (error) {
    DiscardNewContent(target, temp);
    return RenameOutcome::kFailed;
  }
  unsyncedFolders_.insert(target.where.folder->Path());
  return RenameOutcome::kDone;
}

// The new text, in a file beside the target with the target's attributes,
// not yet flushed.
SafeFileStore::RenameOutcome SafeFileStore::WriteNewContent(Target& target, const std::string& text,
                                                            const LoadedVersion* loaded,
                                                            std::unique_ptr<OpenFile>& temp,
                                                            MaybeError& error) {
  // The times can be put back after a change, and a file system may keep
  // change times too coarse to show one; the content cannot lie.
  if (loaded) {
    Result<std::uint64_t> hash = ContentHashOf(*target.file);
    if (!hash.has_value() || *hash != loaded->hash) {
      error = hash.has_value() ? Changed() : hash.error();
      return RenameOutcome::kFailed;
    }
  }
  Folder& folder = *target.where.folder;
  const std::string tempName = NewContentName(target.where.name);
  std::unique_ptr<OpenFile> spare = TakeSpare(folder, tempName, true, *target.file);
  if (!spare && folder.InfoOf(tempName).has_value()) {
    // One left by an interrupted save (the target is held, so no save of it
    // is going on); a name this program does not own is left alone, and the
    // file rewritten in place.
    if (WhyNotTrustedIn(folder, tempName, *target.file)) return RenameOutcome::kUseInPlace;
    (void)folder.Remove(tempName);  // if it stays, the create below says why
  }
  if (!spare) spare = TakeSpare(folder, tempName, false, *target.file);
  const bool reused = spare != nullptr;
  Result<std::unique_ptr<OpenFile>> created =
      spare ? Result<std::unique_ptr<OpenFile>>(std::move(spare)) : folder.Create(tempName);
  if (!created.has_value()) {
    const FileProblem problem = created.error().problem;
    if (problem == FileProblem::kNoPermission || problem == FileProblem::kReadOnly) {
      return RenameOutcome::kUseInPlace;
    }
    error = created.error();
    return RenameOutcome::kFailed;
  }
  temp = std::move(*created);
  error = WriteWhole(*temp, text);
  // An old file is written over and then cut to length: emptying it first
  // would free its blocks only to take them again, and a disk that discards
  // freed blocks makes that slow.
  if (!error && reused) error = temp->Truncate(text.size());
  if (error) {
    DiscardNewContent(target, temp);
    return RenameOutcome::kFailed;
  }
  // Who may read and write the file stays exactly as it was; where that
  // cannot be given to a new file, the file is rewritten in place instead.
  Result<FileAttributes> attributes = target.file->ReadAttributes();
  if (!attributes.has_value() || temp->WriteAttributes(*attributes)) {
    DiscardNewContent(target, temp);
    return RenameOutcome::kUseInPlace;
  }
  return RenameOutcome::kDone;
}

// Renames the flushed new content over the target, if the target is still
// the file that was opened for the save. With `keptOld` the names are
// exchanged where the system can, and the old file stays under the new
// content's former name (told by `keptOld`).
MaybeError SafeFileStore::PutInPlace(Target& target, OpenFile& temp, bool* keptOld) {
  target.file->AllowReplace();
  Result<FileInfo> now = target.where.folder->InfoOf(target.where.name);
  if (!now.has_value() && !now.error().missing()) return now.error();
  if (!now.has_value() || VersionOf(*now) != VersionOf(target.info)) {
    return FileError{FileProblem::kChanged, ""};
  }
  if (keptOld != nullptr && !temp.ExchangeWith(*target.file)) {
    *keptOld = true;
    return std::nullopt;
  }
  return temp.RenameTo(target.where.name);
}

void SafeFileStore::KeepSpare(Target& target) {
  Result<FileInfo> folderInfo = target.where.folder->InfoOf(".");
  Spare spare{{},
              std::move(target.where.folder),
              NewContentName(target.where.name),
              std::move(target.file)};
  if (!folderInfo.has_value()) return DropSpare(spare);
  spare.folderKey = folderInfo->key;
  spares_.push_back(std::move(spare));
}

// A kept old file of `folder`, private and named `name`, for new
// content of `original`, or nothing: the one lying under `name` already if
// there is one, else the newest. Only a file that nobody else holds open is
// written again (a program still reading or writing the old file must not
// meet another file's text), and only one whose owner, group and access
// list are the original's, so that nobody else may read the new text
// before it takes its place.
std::unique_ptr<OpenFile> SafeFileStore::TakeSpare(Folder& folder, const std::string& name,
                                                   bool namedOnly, OpenFile& original) {
  if (spares_.empty()) return nullptr;
  Result<FileInfo> folderInfo = folder.InfoOf(".");
  if (!folderInfo.has_value()) return nullptr;
  std::optional<std::size_t> chosen;
  for (std::size_t i = 0; i < spares_.size(); ++i) {
    if (spares_[i].folderKey != folderInfo->key) continue;
    if (spares_[i].name == name || (!namedOnly && !(chosen && spares_[*chosen].name == name))) {
      chosen = i;
    }
  }
  if (!chosen) return nullptr;
  Spare spare = std::move(spares_[*chosen]);
  spares_.erase(spares_.begin() + static_cast<std::ptrdiff_t>(*chosen));
  OpenFile& file = *spare.file;
  Result<FileInfo> info = file.Info();
  Result<FileAttributes> wanted = original.ReadAttributes();
  Result<FileAttributes> has = file.ReadAttributes();
  const bool sameAudience = wanted.has_value() && has.has_value() && wanted->owner == has->owner &&
                            wanted->group == has->group && wanted->named == has->named;
  const bool alone = info.has_value() && info->linkCount == 1 && sameAudience &&
                     !StillNamed(*spare.folder, spare.name, *info) && file.HoldOthersBack();
  if (alone && !file.SetMode(kPrivateMode) && (spare.name == name || !file.RenameTo(name))) {
    return std::move(spare.file);
  }
  DropSpare(spare);
  return nullptr;
}

// Whether `name` in `folder` is one of the old files kept here.
bool SafeFileStore::IsSpare(Folder& folder, const std::string& name) {
  if (spares_.empty()) return false;
  Result<FileInfo> folderInfo = folder.InfoOf(".");
  return folderInfo.has_value() &&
         std::any_of(spares_.begin(), spares_.end(), [&](const Spare& spare) {
           return spare.folderKey == folderInfo->key && spare.name == name;
         });
}

// Removes the kept old file, if its name still leads to it.
void SafeFileStore::DropSpare(Spare& spare) {
  if (!spare.folder || !spare.file) return;
  Result<FileInfo> info = spare.file->Info();
  const bool ours = info.has_value() && !StillNamed(*spare.folder, spare.name, *info);
  spare.file.reset();
  if (ours) (void)spare.folder->Remove(spare.name);
}

void SafeFileStore::DropSpares(std::size_t kept) {
  while (spares_.size() > kept) {
    DropSpare(spares_.front());
    spares_.erase(spares_.begin());
  }
}

void SafeFileStore::DiscardNewContent(Target& target, std::unique_ptr<OpenFile>& temp) {
  temp.reset();
  // The error that led here is the one reported.
  (void)target.where.folder->Remove(NewContentName(target.where.name));
}

MaybeError SafeFileStore::OverwriteInPlace(Target& target, const std::string& text,
                                           const LoadedVersion* loaded) {
  OpenFile& file = *target.file;
  const OthersHeldBack heldBack(file);
  Result<std::string> old = ReadWhole(file, target.info.size);
  if (!old.has_value()) return old.error();
  // The times can be put back after a change; the content cannot lie.
  if (loaded && ContentHash(*old) != loaded->hash) return Changed();
  if (file.CopiesOnWrite()) {
    Result<std::uint64_t> free = file.FreeSpace();
    if (!free.has_value()) return free.error();
    if (*free < text.size() + kRoomToSpare) return FileError{FileProblem::kDiskFull, ""};
  }

  Folder& folder = *target.where.folder;
  Result<RecoveryCopy> copy = recovery_.Make(folder, target.where.name, file, target.info.key, *old,
                                             text, folder.PathOf(target.where.name));
  if (!copy.has_value()) return copy.error();
  // Making the copy took time: nothing may have changed the file meanwhile.
  if (MaybeError error = StillAsRead(target.where, file, target.info, *old)) {
    recovery_.Remove(*copy);
    return error;
  }
  MaybeError error = WriteInPlace(file, text, old->size());
  // Another program wrote too: its bytes stay in the file, the old content
  // in the copy, for the user to decide.
  if (error && error->problem == FileProblem::kChangedDuringSave) return error;
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
  const FileError changed{FileProblem::kChangedDuringSave, ""};
  // A failed reservation may have grown the file; putting the old content
  // back cuts it to its old length.
  if (text.size() > oldSize) {
    if (MaybeError error = file.Reserve(text.size())) return error;
  }
  if (MaybeError error = WriteWhole(file, text)) return error;
  // Nothing is cut off while the file holds more than this rewrite put
  // there: another program's bytes stay.
  Result<FileInfo> written = file.Info();
  if (!written.has_value()) return written.error();
  if (written->size != std::max<std::uint64_t>(oldSize, text.size())) return changed;
  if (MaybeError error = file.Truncate(text.size())) return error;
  if (MaybeError error = file.Sync()) return error;
  Result<bool> same = Holds(file, text);
  if (!same.has_value()) return same.error();
  if (!*same) return changed;
  return std::nullopt;
}

std::unique_ptr<FileStore> MakeSystemFileStore() {
  return std::make_unique<SafeFileStore>(MakeSystemFileSystem(DefaultRecoveryFolder()));
}

void SafeFileStore::Flush() {
  Commit();
  DropSpares(0);
  for (const std::string& path : unsyncedFolders_) {
    // Some file systems refuse to sync a folder; the new content is in place
    // either way, so such a failure is not reported.
    Result<std::unique_ptr<Folder>> folder = fs_->OpenFolder(path);
    if (folder.has_value()) (void)(*folder)->Sync();
  }
  unsyncedFolders_.clear();
}

}  // namespace quillmere
