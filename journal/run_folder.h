#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "journal_entry.h"

namespace quillmere {

// The files of one run's journal in its folder: "journal" (a header line,
// then a line per entry), "small.old" (small old contents one after another),
// "N.old" (a large old content of its own) and "undone" (what an undo did),
// each made for the user alone. Files are opened when first needed and kept
// open until Close, so that a run of many files opens each once.
class RunFolder {
 public:
  static constexpr std::string_view kJournal = "journal";
  static constexpr std::string_view kPacked = "small.old";
  static constexpr std::string_view kUndone = "undone";

  RunFolder(std::string id, std::unique_ptr<Folder> folder);

  const std::string& id() const { return id_; }
  Folder& folder() { return *folder_; }

  // Makes the journal with its header: when the run started.
  [[nodiscard]] MaybeError Begin(std::int64_t started);
  // When the run started, by its header.
  [[nodiscard]] Result<std::int64_t> Started();
  // Every entry's last line, in the order of their numbers, with what undo
  // marked; entries taken back are left out, and so is a last line cut
  // short.
  [[nodiscard]] Result<std::vector<JournalEntry>> Entries();
  // Appends to the journal: an entry's line, or the taking back of one.
  [[nodiscard]] MaybeError Append(std::string_view line);
  // Appends a small old content to the run's file of small contents: where
  // it starts.
  [[nodiscard]] Result<std::uint64_t> Pack(std::string_view content);
  // A large old content, written to a file of its own from `source`.
  [[nodiscard]] MaybeError Keep(int number, OpenFile& source, std::uint64_t size);
  void Drop(int number);
  // The old content an entry kept, if it can be read whole.
  [[nodiscard]] Result<std::string> OldContent(const JournalEntry& entry);
  // Records that an undo began to put the entry's file back, or did.
  [[nodiscard]] MaybeError MarkUndoing(int number);
  [[nodiscard]] MaybeError MarkUndone(int number);
  // Makes the files written so far, and their names, durable.
  [[nodiscard]] MaybeError Sync();
  // Sync in two parts, so that the files can be flushed while others go on
  // writing: the files open now (each kept open while it is held), then
  // their names.
  std::vector<std::shared_ptr<OpenFile>> OpenFiles() const;
  [[nodiscard]] MaybeError SyncNames();
  // The bytes its files hold.
  std::uint64_t Size();
  // Gives up the open files.
  void Close();

 private:
  struct Appended {
    std::shared_ptr<OpenFile> file;
    std::uint64_t size = 0;
  };
  [[nodiscard]] Result<Appended*> OpenForAppending(Appended& slot, std::string_view name);
  [[nodiscard]] MaybeError AppendTo(Appended& slot, std::string_view name, std::string_view line);
  [[nodiscard]] Result<std::string> ReadAll(std::string_view name);

  std::string id_;
  std::unique_ptr<Folder> folder_;
  Appended journal_;
  Appended packed_;
  Appended undone_;
  bool namesChanged_ = false;  // a file was made since the folder was last synced
};

}  // namespace quillmere
