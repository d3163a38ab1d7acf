#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "file_outcome.h"
#include "file_system.h"
#include "recovery_record.h"

namespace quillmere {

// The files a save makes beside the file NAME: ".NAME.quillmere-new" holds
// new content until it is renamed over NAME; ".NAME.quillmere-recovery"
// holds the old content while NAME is rewritten in place. A very long NAME
// is shortened, with a hash of the whole name kept.
std::string NewContentName(const std::string& name);
std::string RecoveryCopyName(const std::string& name);
// The name of a recovery copy kept in the private recovery folder: after
// the file's number and birth, which stay when its disk is mounted anew,
// or its device and number where the system records no birth.
std::string RecoveryCopyName(const FileKey& key);

// Whether something found on disk beside a file (a recovery copy, the new
// content of a save) may be taken as this program's own: a regular file
// owned by the user running the program, by the administrator or by the
// file's owner, that no one else may write, in a folder owned by one of
// them in which no one else may remove or rename it. Nothing when it may;
// otherwise why not.
std::optional<std::string> WhyNotTrusted(const FileInfo& info, const Ownership& owner,
                                         const Ownership& folder, const Ownership& fileOwner);
// The same for the name in `folder`, found beside `file`.
std::optional<std::string> WhyNotTrustedIn(Folder& folder, const std::string& name, OpenFile& file);

// A recovery copy on disk: beside its file, or in the private folder. A
// copy beside its file has a pointer to it in the private folder, named
// after the file's key, so that the file's other names find it too.
struct RecoveryCopy {
  Folder* folder = nullptr;
  std::unique_ptr<Folder> ownFolder;
  std::string name;
  std::unique_ptr<Folder> pointerFolder;
  std::string pointerName;

  std::string Path() const { return folder->PathOf(name); }
};

// Makes, finds, reads and removes recovery copies.
class RecoveryCopies {
 public:
  explicit RecoveryCopies(FileSystem& fs) : fs_(fs) {}

  // Writes a durable copy of `old`, the content of `file` (the file `name`
  // in `folder`), before it is rewritten as `text`: beside it where that
  // folder is trusted and takes the copy, otherwise in the private folder.
  // `path` is the file's, for people reading the copy.
  [[nodiscard]] Result<RecoveryCopy> Make(Folder& folder, const std::string& name, OpenFile& file,
                                          const FileKey& key, std::string_view old,
                                          std::string_view text, std::string_view path);
  void Remove(RecoveryCopy& copy);

  // The trusted copy an interrupted rewrite of that file left, under this
  // name or another, if there is one. Copies that are not trusted are passed
  // over, each with a note.
  [[nodiscard]] Result<std::optional<RecoveryCopy>> Find(Folder& folder, const std::string& name,
                                                         OpenFile& file, const FileKey& key,
                                                         FileNotes& notes);
  // The copy's content, checked against what its header says.
  [[nodiscard]] Result<ParsedCopy> Read(RecoveryCopy& copy, OpenFile& file);
  // Takes in the pointer to a copy beside its file that was named after the
  // key the copy records, when the file's key is another now (its disk
  // mounted anew where the system records no birth), so that it goes with
  // the copy.
  void AdoptPointer(RecoveryCopy& copy, const FileKey& recorded);

 private:
  [[nodiscard]] Result<RecoveryCopy> MakeIn(Folder& folder, const std::string& copyName,
                                            std::string_view header, std::string_view content,
                                            OpenFile* ownerFrom);
  [[nodiscard]] Result<std::unique_ptr<Folder>> PrivateFolder(bool create);
  void PointTo(RecoveryCopy& copy, const FileKey& key);
  std::optional<RecoveryCopy> Follow(std::unique_ptr<Folder> own, const std::string& keyed,
                                     OpenFile& file, FileNotes& notes);

  FileSystem& fs_;
};

}  // namespace quillmere
