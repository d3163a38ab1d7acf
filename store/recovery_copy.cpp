#include "recovery_copy.h"

#include <cinttypes>
#include <cstdio>

#include "file_content.h"

namespace quillmere {
namespace {

constexpr std::string_view kNewSuffix = ".quillmere-new";
constexpr std::string_view kRecoverySuffix = ".quillmere-recovery";
constexpr std::string_view kPointerStart = "quillmere recovery copy elsewhere 1\n";
constexpr std::size_t kLongestPointer = 65536;
// Keeps the longest name made here within the usual 255-byte limit.
constexpr std::size_t kLongestBase = 200;
constexpr std::size_t kShortenedBase = 180;
// A copy is at most the largest file that loads, plus its header (a page's
// hash in 8 digits for each page of a new text at most twice as long).
constexpr std::uint64_t kLongestCopy = kMaxLoadSize + kMaxLoadSize / kRecordedPage * 16 + 8192;

std::string Hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%" PRIx64, value);
  return text;
}

std::string Shortened(const std::string& name) {
  if (name.size() <= kLongestBase) return name;
  return name.substr(0, kShortenedBase) + "~" + Hex(ContentHash(name));
}

const char* KindName(FileKind kind) {
  switch (kind) {
    case FileKind::kFolder:
      return "a folder";
    case FileKind::kDevice:
      return "a device";
    case FileKind::kFifo:
      return "a FIFO";
    case FileKind::kSocket:
      return "a socket";
    case FileKind::kLink:
      return "a symbolic link";
    case FileKind::kRegular:
    case FileKind::kOther:
      break;
  }
  return "no regular file";
}

FileNote Ignored(const std::string& path, const std::string& why) {
  return {FileNote::Kind::kIgnoredCopy, FileError{FileProblem::kNoPermission, why}, path};
}

// The private folder holds copies for the user alone: it must be theirs and
// closed to others, as ssh asks of its own folder.
std::optional<std::string> WhyNotPrivate(Folder& folder) {
  Result<Ownership> owner = folder.Owner();
  if (!owner.has_value()) return ReasonText(owner.error());
  if (!owner->ownedByUser) return folder.Path() + " is owned by " + owner->ownerName;
  if (owner->othersMayWrite) return "others may write in " + folder.Path();
  return std::nullopt;
}

}  // namespace

// ".NAME" and the suffix.
std::string HiddenBeside(const std::string& name, std::string_view suffix) {
  std::string hidden(1, '.');
  hidden += Shortened(name);
  hidden += suffix;
  return hidden;
}

std::string NewContentName(const std::string& name) {
  return HiddenBeside(name, kNewSuffix);
}

std::string RecoveryCopyName(const std::string& name) {
  return HiddenBeside(name, kRecoverySuffix);
}

std::string RecoveryCopyName(const FileKey& key) {
  // Built by appending: GCC 12 warns falsely of overlapping copies in
  // "literal" + a temporary string.
  std::string name;
  if (key.birth != 0) {
    name += 'i';
    name += Hex(key.id);
    name += "-b";
    name += Hex(key.birth);
  } else {
    name += Hex(key.device);
    name += '-';
    name += Hex(key.id);
  }
  name += kRecoverySuffix;
  return name;
}

namespace {

bool TrustedOwner(const Ownership& of, const Ownership& fileOwner) {
  return of.ownedByUser || of.ownedByAdministrator || of.owner == fileOwner.owner;
}

std::optional<std::string> WhyFolderNotTrusted(const Ownership& folder,
                                               const Ownership& fileOwner) {
  if (!TrustedOwner(folder, fileOwner)) return "in a folder owned by " + folder.ownerName;
  if (folder.othersMayRename) return std::string("in a folder where others may rename it");
  return std::nullopt;
}

}  // namespace

std::optional<std::string> WhyNotTrusted(const FileInfo& info, const Ownership& owner,
                                         const Ownership& folder, const Ownership& fileOwner) {
  if (info.kind != FileKind::kRegular) return std::string(KindName(info.kind));
  if (!TrustedOwner(owner, fileOwner)) return "owned by " + owner.ownerName;
  if (owner.othersMayWrite) return std::string("others may write it");
  return WhyFolderNotTrusted(folder, fileOwner);
}

std::optional<std::string> WhyNotTrustedIn(Folder& folder, const std::string& name,
                                           OpenFile& file) {
  Result<FileInfo> info = folder.InfoOf(name);
  Result<Ownership> owner = folder.OwnerOf(name);
  Result<Ownership> folderOwner = folder.Owner();
  Result<Ownership> fileOwner = file.Owner();
  for (const FileError* error :
       {info.has_value() ? nullptr : &info.error(), owner.has_value() ? nullptr : &owner.error(),
        folderOwner.has_value() ? nullptr : &folderOwner.error(),
        fileOwner.has_value() ? nullptr : &fileOwner.error()}) {
    if (error != nullptr) return "its owner cannot be told: " + ReasonText(*error);
  }
  return WhyNotTrusted(*info, *owner, *folderOwner, *fileOwner);
}

Result<std::unique_ptr<Folder>> RecoveryCopies::PrivateFolder(bool create) {
  Result<std::unique_ptr<Folder>> own = fs_.RecoveryFolder(create);
  if (!own.has_value()) return own;
  if (std::optional<std::string> why = WhyNotPrivate(**own)) {
    return FileError{FileProblem::kUnsafeStateFolder, *why};
  }
  return own;
}

Result<RecoveryCopy> RecoveryCopies::Make(Folder& folder, const std::string& name, OpenFile& file,
                                          const FileKey& key, std::string_view old,
                                          std::string_view text, std::string_view path) {
  const std::string header = RecoveryCopyHeader(key, old, text, path);
  const std::string besideName = RecoveryCopyName(name);
  // Beside the file only where the copy will be trusted when it is found,
  // and never over whatever holds its name (a copy that is not trusted).
  MaybeError besideError;
  Result<Ownership> folderOwner = folder.Owner();
  Result<Ownership> fileOwner = file.Owner();
  if (folderOwner.has_value() && fileOwner.has_value() && !folder.InfoOf(besideName).has_value() &&
      !WhyFolderNotTrusted(*folderOwner, *fileOwner)) {
    Result<RecoveryCopy> beside = MakeIn(folder, besideName, header, old, &file);
    if (beside.has_value()) {
      PointTo(*beside, key);
      return beside;
    }
    besideError = beside.error();
  }
  Result<std::unique_ptr<Folder>> own = PrivateFolder(true);
  Result<RecoveryCopy> inOwn =
      own.has_value() ? MakeIn(**own, RecoveryCopyName(key), header, old, nullptr) : own.error();
  if (!inOwn.has_value()) {
    // The more telling reason: a folder that takes no new file says little
    // when the private folder failed for its own reason.
    const bool besideSaysLittle = !besideError ||
                                  besideError->problem == FileProblem::kNoPermission ||
                                  besideError->problem == FileProblem::kReadOnly;
    return besideSaysLittle ? inOwn.error() : *besideError;
  }
  inOwn->ownFolder = std::move(*own);
  inOwn->folder = inOwn->ownFolder.get();
  return inOwn;
}

Result<RecoveryCopy> RecoveryCopies::MakeIn(Folder& folder, const std::string& copyName,
                                            std::string_view header, std::string_view content,
                                            OpenFile* ownerFrom) {
  Result<std::unique_ptr<OpenFile>> created = folder.Create(copyName);
  if (!created.has_value()) return created.error();
  OpenFile& file = **created;
  // An administrator's copy beside another user's file is that user's, so
  // that their own runs can use it.
  if (ownerFrom != nullptr) file.TakeOwnerOf(*ownerFrom);
  MaybeError error = WriteWhole(file, header);
  if (!error) error = WriteWhole(file, content, header.size());
  if (!error) error = file.Sync();
  if (error) {
    created->reset();
    (void)folder.Remove(copyName);  // the write's error is the one reported
    return *error;
  }
  // The copy's name must be on disk before the file is touched. Some file
  // systems cannot sync a folder; the copy is complete there all the same.
  (void)folder.Sync();
  return RecoveryCopy{&folder, nullptr, copyName, nullptr, ""};
}

// Best done: without the pointer only this name of the file finds the copy.
void RecoveryCopies::PointTo(RecoveryCopy& copy, const FileKey& key) {
  Result<std::unique_ptr<Folder>> own = PrivateFolder(true);
  if (!own.has_value()) return;
  const std::string name = RecoveryCopyName(key);
  // An old pointer that stays makes the new one fail below.
  (void)(*own)->Remove(name);
  Result<RecoveryCopy> pointer =
      MakeIn(**own, name, kPointerStart, copy.folder->PathOf(copy.name), nullptr);
  if (!pointer.has_value()) return;
  copy.pointerFolder = std::move(*own);
  copy.pointerName = name;
}

void RecoveryCopies::Remove(RecoveryCopy& copy) {
  // Best done: the file is saved by now, and a failure here does not undo that.
  if (!copy.name.empty()) (void)copy.folder->Remove(copy.name);
  if (copy.pointerFolder) (void)copy.pointerFolder->Remove(copy.pointerName);
}

Result<std::optional<RecoveryCopy>> RecoveryCopies::Find(Folder& folder, const std::string& name,
                                                         OpenFile& file, const FileKey& key,
                                                         FileNotes& notes) {
  std::optional<RecoveryCopy> found;
  const std::string beside = RecoveryCopyName(name);
  if (folder.InfoOf(beside).has_value()) {
    if (std::optional<std::string> why = WhyNotTrustedIn(folder, beside, file)) {
      notes.push_back(Ignored(folder.PathOf(beside), *why));
    } else {
      found = RecoveryCopy{&folder, nullptr, beside, nullptr, ""};
    }
  }
  // The private folder: the copy itself, or a pointer to one beside another
  // name of the file.
  Result<std::unique_ptr<Folder>> own = fs_.RecoveryFolder(false);
  const std::string keyed = RecoveryCopyName(key);
  if (!own.has_value() || !(*own)->InfoOf(keyed).has_value()) return found;
  if (std::optional<std::string> why = WhyNotPrivate(**own)) {
    notes.push_back(Ignored((*own)->PathOf(keyed), *why));
    return found;
  }
  if (found) {
    found->pointerFolder = std::move(*own);
    found->pointerName = keyed;
    return found;
  }
  return Follow(std::move(*own), keyed, file, notes);
}

// The private folder's file for a key: the copy itself, or a pointer to a
// copy beside the file under another of its names.
std::optional<RecoveryCopy> RecoveryCopies::Follow(std::unique_ptr<Folder> own,
                                                   const std::string& keyed, OpenFile& file,
                                                   FileNotes& notes) {
  if (std::optional<std::string> why = WhyNotTrustedIn(*own, keyed, file)) {
    notes.push_back(Ignored(own->PathOf(keyed), *why));
    return std::nullopt;
  }
  std::string text;
  if (Result<std::unique_ptr<OpenFile>> opened = own->Open(keyed, Access::kRead);
      opened.has_value()) {
    if (Result<FileInfo> info = (*opened)->Info();
        info.has_value() && info->size <= kLongestPointer) {
      Result<std::string> read = ReadWhole(**opened, info->size);
      if (read.has_value()) text = std::move(*read);
    }
  }
  if (!text.starts_with(kPointerStart)) {
    RecoveryCopy copy{nullptr, std::move(own), keyed, nullptr, ""};
    copy.folder = copy.ownFolder.get();
    return copy;
  }
  RecoveryCopy copy{nullptr, nullptr, "", std::move(own), keyed};
  Result<Location> target = fs_.Locate(text.substr(kPointerStart.size()));
  if (!target.has_value() || !target->folder->InfoOf(target->name).has_value()) {
    // The copy is gone: only the pointer is left, to be removed.
    copy.folder = copy.pointerFolder.get();
    return copy;
  }
  if (std::optional<std::string> why = WhyNotTrustedIn(*target->folder, target->name, file)) {
    notes.push_back(Ignored(target->folder->PathOf(target->name), *why));
    return std::nullopt;
  }
  copy.ownFolder = std::move(target->folder);
  copy.name = target->name;
  copy.folder = copy.ownFolder.get();
  return copy;
}

void RecoveryCopies::AdoptPointer(RecoveryCopy& copy, const FileKey& recorded) {
  if (copy.pointerFolder || copy.ownFolder) return;
  Result<std::unique_ptr<Folder>> own = PrivateFolder(false);
  if (!own.has_value()) return;
  const std::string name = RecoveryCopyName(recorded);
  Result<std::unique_ptr<OpenFile>> pointer = (*own)->Open(name, Access::kRead);
  if (!pointer.has_value()) return;
  Result<FileInfo> info = (*pointer)->Info();
  if (!info.has_value() || info->size > kLongestPointer) return;
  Result<std::string> text = ReadWhole(**pointer, info->size);
  if (!text.has_value() || *text != std::string(kPointerStart) + copy.Path()) return;
  copy.pointerFolder = std::move(*own);
  copy.pointerName = name;
}

Result<ParsedCopy> RecoveryCopies::Read(RecoveryCopy& copy, OpenFile& file) {
  if (copy.name.empty()) return ParsedCopy{CopyCondition::kCutShort, {}};  // a pointer alone
  Result<std::unique_ptr<OpenFile>> opened = copy.folder->Open(copy.name, Access::kRead);
  if (!opened.has_value()) return opened.error();
  Result<FileInfo> info = (*opened)->Info();
  if (!info.has_value()) return info.error();
  // What was opened is still what was checked: no one else may replace it.
  Result<Ownership> owner = (*opened)->Owner();
  Result<Ownership> fileOwner = file.Owner();
  if (!owner.has_value()) return owner.error();
  if (!fileOwner.has_value()) return fileOwner.error();
  if (info->kind != FileKind::kRegular || owner->othersMayWrite ||
      !TrustedOwner(*owner, *fileOwner)) {
    return FileError{FileProblem::kChanged, "it was replaced"};
  }
  if (info->size > kLongestCopy) return FileError{FileProblem::kTooLarge, ""};
  Result<std::string> raw = ReadWhole(**opened, info->size);
  if (!raw.has_value()) return raw.error();
  return ParseRecoveryCopy(std::move(*raw));
}

}  // namespace quillmere
