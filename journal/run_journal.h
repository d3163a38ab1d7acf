#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "file_store_layer.h"
#include "journal_entry.h"
#include "run_journals.h"

namespace quillmere {

// Why a file's old content went into no journal: there was no room.
FileError JournalFull();

// The journal of one run as its files are saved, shared by the stores of
// the run's workers: it is started at the first entry, and entries, copies
// and the room they take are handed out one at a time.
class RunJournal {
 public:
  explicit RunJournal(RunJournals& journals) : journals_(journals) {}

  // The run's id, once its journal was started.
  std::optional<std::string> run() const;
  // A number for a new entry; why not, when the journal could not be
  // started.
  [[nodiscard]] Result<int> NewEntry();
  // Appends a small old content, already in memory, to the run's file of
  // small contents, when there is room: where it starts.
  [[nodiscard]] Result<std::uint64_t> PackCopy(std::string_view content);
  // Copies the old content of the file at `path`, `size` bytes, as entry
  // `number`'s, when there is room.
  [[nodiscard]] MaybeError KeepCopy(int number, const std::string& path, std::uint64_t size);
  void DropCopy(int number);
  [[nodiscard]] MaybeError Record(const JournalEntry& entry);
  // Takes back the pending entry `number` (its save failed).
  void TakeBack(int number);
  // Makes what the journal holds so far durable: the old contents and
  // entries of a batch go to the disk before any of its files is replaced.
  // Workers share the flushes: one waits for a flush going on that began
  // after its writes, and otherwise flushes at once, beside any other.
  [[nodiscard]] MaybeError Sync();
  // The run's files are given up (the run ended); the next entry still
  // goes to the same run.
  void Finish();
  // The next entry starts the journal of a new run.
  void Restart();

 private:
  [[nodiscard]] Result<RunFolder*> Folder();

  // Counts a write handed to the system, for Sync to know what it covers.
  void Wrote() { ++written_; }

  mutable std::mutex mutex_;
  std::condition_variable synced_;
  RunJournals& journals_;
  std::unique_ptr<RunFolder> folder_;
  std::optional<FileError> startError_;
  bool started_ = false;
  int entries_ = 0;
  std::uint64_t copying_ = 0;  // the bytes of copies being made
  // Writes handed to the system, and how many of them are durable: a sync
  // started after a worker's writes makes them durable for it too.
  std::uint64_t written_ = 0;
  std::uint64_t durable_ = 0;
  std::multiset<std::uint64_t> flushing_;  // what each flush going on covers
};

// A file store that writes a run's journal as it saves: before a file is
// replaced its old content is copied into the journal; once it is saved,
// what was written and which file holds it are recorded. A file whose old
// content cannot be kept (no room, or the journal failed) is saved all the
// same, and `notKept` is told why. Each worker of a run has its own store
// over the run's one journal.
class JournaledFileStore final : public FileStoreLayer {
 public:
  using NotKept = std::function<void(const std::string& path, const FileError& why)>;

  JournaledFileStore(FileStore& store, RunJournal& journal, NotKept notKept);
  // A store with a journal of its own, for a run by one worker.
  JournaledFileStore(FileStore& store, RunJournals& journals, NotKept notKept);

  LoadedFile Load(const std::string& path) override;
  [[nodiscard]] std::optional<FileError> Save(const std::string& path,
                                              const std::string& text) override;
  // The old content and the pending entry are written at once; the entry
  // is completed once the save held back is done.
  void SaveInBatch(const std::string& path, const std::string& text, SaveDone done) override;
  // The journal is made durable while the saves held back are flushed,
  // before any of their files is replaced.
  void CommitAfter(const BeforeReplacing& beforeReplacing) override;
  void Flush() override;

  // The run this store journals, once a file was saved.
  std::optional<std::string> run() const { return journal_.run(); }
  // The next save starts the journal of a new run.
  void NewRun() { journal_.Restart(); }

 private:
  // A save between its entry's first line and its last.
  struct Pending {
    std::string path;
    JournalEntry entry;
    MaybeError notKept;  // why no old content was kept, if none was
    bool numbered = false;
  };
  // Keeps the old content and writes the pending entry, before the save.
  Pending Begin(const std::string& path, const std::string& text);
  // Completes the entry once the save is done (or takes it back): what the
  // save gives its caller.
  [[nodiscard]] MaybeError End(Pending& pending, MaybeError saved);
  // Keeps the file's old content as entry `number`'s: packed when it is in
  // memory, copied otherwise.
  [[nodiscard]] MaybeError KeepOldContent(const std::string& path, JournalEntry& entry);

  std::unique_ptr<RunJournal> ownJournal_;
  RunJournal& journal_;
  NotKept notKept_;
  // The file loaded last, as it was before it was read.
  std::map<std::string, FileStamp> stamps_;
  // The content of the file loaded last, when small enough to keep.
  std::string loadedPath_;
  std::optional<std::string> loadedText_;
};

}  // namespace quillmere
