#include "recovery_copy.h"

#include <cinttypes>
#include <cstdio>

#include "escaped_path.h"
#include "file_content.h"

namespace quillmere::detail {
namespace {

constexpr std::string_view kNewSuffix = ".quillmere-new";
constexpr std::string_view kRecoverySuffix = ".quillmere-recovery";
constexpr std::string_view kHeaderStart = "quillmere recovery copy 1 ";
constexpr std::string_view kPointerStart = "quillmere recovery copy elsewhere 1\n";
constexpr std::size_t kLongestPointer = 65536;
// Keeps the longest name made here within the usual 255-byte limit.
constexpr std::size_t kLongestBase = 200;
constexpr std::size_t kShortenedBase = 180;
// A copy is at most the largest file that loads, plus its header.
constexpr std::uint64_t kLongestCopy = kMaxLoadSize + 8192;

std::string Hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%" PRIx64, value);
  return text;
}

std::string Shortened(const std::string& name) {
  if (name.size() <= kLongestBase) return name;
  return name.substr(0, kShortenedBase) + "~" + Hex(ContentHash(name));
}

bool Missing(const FileError& error) {
  return error.problem == FileProblem::kNotFound;
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
  return Hex(key.device) + "-" + Hex(key.id) + std::string(kRecoverySuffix);
}

std::string RecoveryCopyHeader(const FileKey& key, std::string_view content,
                               std::string_view path) {
  char fields[128];
  std::snprintf(fields, sizeof fields,
                "device=%" PRIx64 " file=%" PRIx64 " size=%zu hash=%016" PRIx64 " path=",
                key.device, key.id, content.size(), ContentHash(content));
  return std::string(kHeaderStart) + fields + EscapedPath(path) + "\n";
}

std::optional<RecoveredContent> ParseRecoveryCopy(std::string copy) {
  const std::size_t lineEnd = copy.find('\n');
  if (copy.compare(0, kHeaderStart.size(), kHeaderStart) != 0 || lineEnd == std::string::npos) {
    return std::nullopt;
  }
  RecoveredContent parsed;
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  const std::string fields = copy.substr(kHeaderStart.size(), lineEnd - kHeaderStart.size());
  if (std::sscanf(fields.c_str(),
                  "device=%" SCNx64 " file=%" SCNx64 " size=%" SCNu64 " hash=%" SCNx64,
                  &parsed.key.device, &parsed.key.id, &size, &hash) != 4) {
    return std::nullopt;
  }
  copy.erase(0, lineEnd + 1);
  if (copy.size() != size || ContentHash(copy) != hash) return std::nullopt;
  parsed.content = std::move(copy);
  return parsed;
}

Result<RecoveryCopy> RecoveryCopies::Make(Folder& folder, const std::string& name,
                                          const FileKey& key, std::string_view content,
                                          std::string_view path) {
  const std::string header = RecoveryCopyHeader(key, content, path);
  Result<RecoveryCopy> beside = MakeIn(folder, RecoveryCopyName(name), header, content);
  if (beside.ok()) {
    PointTo(*beside, key);
    return beside;
  }
  Result<std::unique_ptr<Folder>> own = fs_.RecoveryFolder(true);
  if (!own.ok()) return beside.error();
  Result<RecoveryCopy> inOwn = MakeIn(**own, RecoveryCopyName(key), header, content);
  if (!inOwn.ok()) {
    // The more telling reason: a folder that takes no new file says little
    // when the private folder failed for its own reason.
    const FileProblem first = beside.error().problem;
    const bool besideSaysLittle =
        first == FileProblem::kNoPermission || first == FileProblem::kReadOnly;
    return besideSaysLittle ? inOwn.error() : beside.error();
  }
  inOwn->ownFolder = std::move(*own);
  inOwn->folder = inOwn->ownFolder.get();
  return inOwn;
}

Result<RecoveryCopy> RecoveryCopies::MakeIn(Folder& folder, const std::string& copyName,
                                            std::string_view header, std::string_view content) {
  Result<std::unique_ptr<OpenFile>> created = folder.Create(copyName);
  if (!created.ok()) return created.error();
  OpenFile& file = **created;
  MaybeError error = WriteWhole(file, header);
  if (!error) error = WriteWhole(file, content, header.size());
  if (!error) error = file.Sync();
  if (error) {
    created->reset();
    folder.Remove(copyName);
    return *error;
  }
  // The copy's name must be on disk before the file is touched. Some file
  // systems cannot sync a folder; the copy is complete there all the same.
  folder.Sync();
  return RecoveryCopy{&folder, nullptr, copyName, nullptr, ""};
}

// Best done: without the pointer only this name of the file finds the copy.
void RecoveryCopies::PointTo(RecoveryCopy& copy, const FileKey& key) {
  Result<std::unique_ptr<Folder>> own = fs_.RecoveryFolder(true);
  if (!own.ok()) return;
  const std::string name = RecoveryCopyName(key);
  (*own)->Remove(name);
  Result<RecoveryCopy> pointer = MakeIn(**own, name, kPointerStart, copy.folder->PathOf(copy.name));
  if (!pointer.ok()) return;
  copy.pointerFolder = std::move(*own);
  copy.pointerName = name;
}

void RecoveryCopies::Remove(RecoveryCopy& copy) {
  copy.folder->Remove(copy.name);
  if (copy.pointerFolder) copy.pointerFolder->Remove(copy.pointerName);
}

std::optional<RecoveryCopy> RecoveryCopies::Find(Folder& folder, const std::string& name,
                                                 const FileKey& key) {
  Result<std::unique_ptr<Folder>> own = fs_.RecoveryFolder(false);
  const std::string keyed = RecoveryCopyName(key);
  const bool ownHasOne = own.ok() && (*own)->InfoOf(keyed).ok();
  const std::string beside = RecoveryCopyName(name);
  if (folder.InfoOf(beside).ok()) {
    RecoveryCopy copy{&folder, nullptr, beside, nullptr, ""};
    if (ownHasOne) {
      copy.pointerFolder = std::move(*own);
      copy.pointerName = keyed;
    }
    return copy;
  }
  if (!ownHasOne) return std::nullopt;
  return Follow(std::move(*own), keyed);
}

// The private folder's file for a key: the copy itself, or a pointer to a
// copy beside the file under another of its names.
std::optional<RecoveryCopy> RecoveryCopies::Follow(std::unique_ptr<Folder> own,
                                                   const std::string& keyed) {
  std::string text;
  if (Result<std::unique_ptr<OpenFile>> file = own->Open(keyed, Access::kRead); file.ok()) {
    if (Result<FileInfo> info = (*file)->Info(); info.ok() && info->size <= kLongestPointer) {
      Result<std::string> read = ReadWhole(**file, info->size, NulBytes::kAllowed);
      if (read.ok()) text = std::move(*read);
    }
  }
  if (!text.starts_with(kPointerStart)) {
    RecoveryCopy copy{nullptr, std::move(own), keyed, nullptr, ""};
    copy.folder = copy.ownFolder.get();
    return copy;
  }
  RecoveryCopy copy{nullptr, nullptr, "", std::move(own), keyed};
  Result<Location> target = fs_.Locate(text.substr(kPointerStart.size()));
  if (target.ok()) {
    copy.ownFolder = std::move(target->folder);
    copy.name = target->name;
  } else {
    // The copy is gone; the pointer goes with the next restore.
    copy.ownFolder = std::move(copy.pointerFolder);
    copy.pointerFolder = nullptr;
    copy.name = keyed;
    copy.pointerName.clear();
  }
  copy.folder = copy.ownFolder.get();
  return copy;
}

Result<bool> RecoveryCopies::Restore(RecoveryCopy& copy, OpenFile& target, const FileKey& key) {
  std::optional<RecoveredContent> recovered;
  {
    Result<std::unique_ptr<OpenFile>> file = copy.folder->Open(copy.name, Access::kRead);
    if (!file.ok()) return Missing(file.error()) ? Result<bool>(false) : file.error();
    Result<FileInfo> info = (*file)->Info();
    if (!info.ok()) return info.error();
    if (info->size > kLongestCopy) return FileError{FileProblem::kTooLarge, "its recovery copy"};
    Result<std::string> raw = ReadWhole(**file, info->size, NulBytes::kAllowed);
    if (!raw.ok()) return raw.error();
    recovered = ParseRecoveryCopy(std::move(*raw));
  }
  if (!recovered) {
    // Cut short while it was written (the file itself was not touched yet),
    // or only a pointer to a copy that is gone.
    Remove(copy);
    return false;
  }
  if (recovered->key != key) return false;
  MaybeError error = WriteWhole(target, recovered->content);
  if (!error) error = target.Truncate(recovered->content.size());
  if (!error) error = target.Sync();
  if (error) return *error;
  Remove(copy);
  return true;
}

}  // namespace quillmere::detail
