#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "file_system.h"

namespace quillmere::detail {

// The files a save makes beside the file NAME: ".NAME.quillmere-new" holds
// new content until it is renamed over NAME; ".NAME.quillmere-recovery"
// holds the old content while NAME is rewritten in place. A very long NAME
// is shortened, with a hash of the whole name kept.
std::string NewContentName(const std::string& name);
std::string RecoveryCopyName(const std::string& name);
// The name of a recovery copy kept in the private recovery folder.
std::string RecoveryCopyName(const FileKey& key);

// A recovery copy is one header line, then the old content byte for byte,
// so that `tail -n +2` gives the content back by hand.
std::string RecoveryCopyHeader(const FileKey& key, std::string_view content, std::string_view path);

struct RecoveredContent {
  FileKey key;
  std::string content;
};

// The content of a complete, undamaged copy; nothing for one that was cut
// short or is no recovery copy at all.
std::optional<RecoveredContent> ParseRecoveryCopy(std::string copy);

// A recovery copy on disk: beside its file, or in the private folder. A
// copy beside its file has a pointer to it in the private folder, named
// after the file's key, so that the file's other names find it too.
struct RecoveryCopy {
  Folder* folder = nullptr;
  std::unique_ptr<Folder> ownFolder;
  std::string name;
  std::unique_ptr<Folder> pointerFolder;
  std::string pointerName;
};

// Makes, finds, restores and removes recovery copies.
class RecoveryCopies {
 public:
  explicit RecoveryCopies(FileSystem& fs) : fs_(fs) {}

  // Writes a durable copy of `content`, the file `name` in `folder`, beside
  // it or, where the folder takes no new file or has no room, in the
  // private folder. `path` is the file's, for people reading the copy.
  Result<RecoveryCopy> Make(Folder& folder, const std::string& name, const FileKey& key,
                            std::string_view content, std::string_view path);
  void Remove(RecoveryCopy& copy);

  // The copy an interrupted rewrite of that file left, under this name or
  // another, if there is one.
  std::optional<RecoveryCopy> Find(Folder& folder, const std::string& name, const FileKey& key);
  // Puts the copy's content back into `target`, open for writing, and
  // removes the copy: true. A copy that never became complete (the file was
  // not yet touched) is only removed, and a copy of another file left alone:
  // false.
  Result<bool> Restore(RecoveryCopy& copy, OpenFile& target, const FileKey& key);

 private:
  Result<RecoveryCopy> MakeIn(Folder& folder, const std::string& copyName, std::string_view header,
                              std::string_view content);
  void PointTo(RecoveryCopy& copy, const FileKey& key);
  std::optional<RecoveryCopy> Follow(std::unique_ptr<Folder> own, const std::string& keyed);

  FileSystem& fs_;
};

}  // namespace quillmere::detail
