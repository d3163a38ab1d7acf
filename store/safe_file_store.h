#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "file_store.h"
#include "file_system.h"
#include "recovery_copy.h"

namespace quillmere {

// The one saving policy, written on a system's file primitives.
//
// Load reads regular files only, holding them for itself while it reads, and
// refuses a file that holds a NUL byte, is larger than kMaxLoadSize or
// changes while it is read. A file whose earlier rewrite in place was
// interrupted first gets its old content back from the recovery copy, but
// only from a copy the trust rule allows and only while the file is in a
// state that rewrite can have left; a file changed since is refused, and it
// and its copy are left for the user. Peek does the same in memory alone.
//
// Save never creates a file and refuses one that nobody may write (even an
// administrator), one held by another program, and one that is no longer
// what the latest Load of the same path read (gone, replaced, or changed in
// any way, its times put back included). The new text goes to a file beside
// the target that gets the target's owner, group, permissions, access list
// and other attributes, is flushed and renamed over it. Where that cannot be
// done exactly (other hard links, a folder that takes no new file,
// attributes this process may not set) the file is rewritten in place:
// first a durable recovery copy of the old content is made, the file is
// checked once more to the byte, then the new text is written and flushed,
// and only then the copy is removed. Other programs that open the file
// meanwhile wait where the system allows (a lease), and a change another
// program makes during the rewrite is reported, never overwritten. A failed
// write puts the old content back; a crash leaves the copy for the next Load.
//
// Renames are made durable by syncing their folders once, at Flush or when
// the store goes, rather than after every file.
//
// SaveInBatch does the same checks and writes the new text beside the file
// at once, but holds the flush and the rename back: Commit flushes the new
// texts of the batch together, renames them, flushes each folder once and
// only then tells each save done. A batch is full at kBatchFiles files or
// kBatchBytes bytes of new text; Flush commits what is held.
class SafeFileStore final : public FileStore {
 public:
  static constexpr std::size_t kBatchFiles = 32;
  static constexpr std::uint64_t kBatchBytes = std::uint64_t{8} << 20;

  explicit SafeFileStore(std::unique_ptr<FileSystem> fs);
  ~SafeFileStore() override;

  LoadedFile Load(const std::string& path) override;
  LoadedFile Peek(const std::string& path) override;
  [[nodiscard]] MaybeError Save(const std::string& path, const std::string& text) override;
  [[nodiscard]] MaybeError CheckSave(const std::string& path) override;
  [[nodiscard]] MaybeError Stamp(const std::string& path, FileStamp& stamp) override;
  [[nodiscard]] MaybeError Restamp(const std::string& path, const FileStamp& stamp) override;
  std::optional<FileKey> KeyOf(const std::string& path) override;
  bool StampsLoads() override { return true; }
  void Flush() override;
  void SaveInBatch(const std::string& path, const std::string& text, SaveDone done) override;
  bool BatchFull() override;
  void CommitAfter(const BeforeReplacing& beforeReplacing) override;

 private:
  // What the latest successful Load read, to recognise the file at Save.
  struct LoadedVersion {
    std::string path;
    FileVersion version;
    std::uint64_t hash = 0;
    // Peeked at while a recovery copy waits to be put back: not to be saved.
    bool restorePending = false;
  };
  struct Target;
  struct Held;
  struct Spare;
  enum class RenameOutcome { kDone, kFailed, kUseInPlace };
  enum class Mode { kLoad, kPeek };

  LoadedFile LoadOrPeek(const std::string& path, Mode mode);
  // What the latest Load read, if it was of `path`; forgotten either way.
  std::optional<LoadedVersion> TakeLoaded(const std::string& path);
  [[nodiscard]] Result<std::string> LoadText(const std::string& path, LoadedFile& loaded,
                                             Mode mode);
  [[nodiscard]] Result<std::optional<std::string>> Recover(Location& where,
                                                           std::unique_ptr<OpenFile>& file,
                                                           FileInfo& info, LoadedFile& loaded,
                                                           Mode mode);
  void RemoveLeftoverNewContent(Location& where, OpenFile& file);
  [[nodiscard]] Result<std::unique_ptr<OpenFile>> OpenByPath(const std::string& path,
                                                             Access access);
  // The file a batch saved at `path`, while its save is told done.
  OpenFile* JustSaved(const std::string& path);
  [[nodiscard]] Result<Target> OpenForSave(const std::string& path, const LoadedVersion* loaded);
  [[nodiscard]] static MaybeError OnlyMetadataMoved(OpenFile& file, const LoadedVersion& loaded,
                                                    const FileInfo& now);
  RenameOutcome ReplaceByRename(Target& target, const std::string& text,
                                const LoadedVersion* loaded, MaybeError& error);
  RenameOutcome WriteNewContent(Target& target, const std::string& text,
                                const LoadedVersion* loaded, std::unique_ptr<OpenFile>& temp,
                                MaybeError& error);
  [[nodiscard]] static MaybeError PutInPlace(Target& target, OpenFile& temp, bool* keptOld);
  std::unique_ptr<OpenFile> TakeSpare(Folder& folder, const std::string& name, bool namedOnly,
                                      OpenFile& original);
  void KeepSpare(Target& target);
  bool IsSpare(Folder& folder, const std::string& name);
  void DropSpare(Spare& spare);
  void DropSpares(std::size_t kept);
  static void DiscardNewContent(Target& target, std::unique_ptr<OpenFile>& temp);
  [[nodiscard]] MaybeError OverwriteInPlace(Target& target, const std::string& text,
                                            const LoadedVersion* loaded);
  [[nodiscard]] MaybeError WriteInPlace(OpenFile& file, const std::string& text,
                                        std::uint64_t oldSize);

  std::unique_ptr<FileSystem> fs_;
  RecoveryCopies recovery_;
  std::optional<LoadedVersion> loaded_;
  std::set<std::string> unsyncedFolders_;
  std::vector<Held> held_;  // the saves held back, in the order they were made
  // While a batch's saves are told done: each new file by its path, for
  // the layers above to stamp it without walking its path again.
  std::map<std::string, std::unique_ptr<OpenFile>> justSaved_;
  std::vector<Spare> spares_;  // oldest first
  std::uint64_t heldBytes_ = 0;
};

}  // namespace quillmere
