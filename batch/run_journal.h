#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "file_store_layer.h"

namespace quillmere {

// One file a run changed: what it was, where its old content is kept (if it
// was), and what the run wrote.
struct JournalEntry {
  int number = 0;
  std::string path;  // absolute, as the run was given it
  FileStamp before;
  bool kept = false;  // the old content was copied
  // Where the old content starts in the run's file of small contents, when it
  // went there rather than into a file of its own.
  std::optional<std::uint64_t> packedAt;
  std::uint64_t afterSize = 0;
  Timestamp afterModified;
  std::uint64_t afterHash = 0;
  bool undone = false;
  // Written before the save, so that a run killed during or just after it
  // still knows the file: what the run wrote is known by size and hash alone.
  bool pending = false;
};

// A run as the journals list it.
struct RunRecord {
  std::string id;            // "20261207-135601" (then "-01", ...), sorting as the runs were made
  std::int64_t started = 0;  // seconds since the epoch
  int files = 0;
  std::uint64_t bytes = 0;  // the old contents kept
  bool undone = false;      // every kept file was put back
};

// The journals of the last runs in a folder of the user's state: each the
// old content of every file its run changed, so that the run can be undone.
// At most the last 10 runs are kept, and at most `byteLimit` bytes: the
// oldest runs give way first.
class RunJournals {
 public:
  static constexpr int kRunsKept = 10;

  RunJournals(std::filesystem::path folder, std::uint64_t byteLimit);

  std::vector<RunRecord> List() const;  // newest first
  std::vector<JournalEntry> Entries(const std::string& run) const;
  std::filesystem::path CopyOf(const std::string& run, int number) const;
  // The old content an entry kept, if it can be read whole.
  std::optional<std::string> OldContent(const std::string& run, const JournalEntry& entry) const;
  void MarkUndone(const std::string& run, int number);
  const std::filesystem::path& folder() const { return folder_; }

  // A new run's folder, made after the oldest runs beyond the limit went.
  std::optional<std::string> StartRun();
  // Frees room for `bytes` more, removing the oldest runs but `run`; whether
  // there is room.
  bool MakeRoom(const std::string& run, std::uint64_t bytes);
  // Counts `bytes` written into, or removed from, the folder since.
  void Added(std::uint64_t bytes);
  void Removed(std::uint64_t bytes);

 private:
  std::vector<std::string> RunIds() const;  // oldest first
  std::uint64_t BytesUsed() const;

  std::filesystem::path folder_;
  std::uint64_t byteLimit_;
  // The bytes the folder holds, measured once and then kept up to date, so
  // that a run of many files does not measure the whole folder at each.
  std::optional<std::uint64_t> used_;
};

// `seconds` since the epoch as local time, in strftime's `format`.
std::string LocalTimeText(std::int64_t seconds, const char* format);

// The newest run that changed files and is not undone yet, if any.
std::optional<RunRecord> LastRunToUndo(const RunJournals& journals);

// The runs' folder of the user running the program:
// $XDG_STATE_HOME/quillmere/runs (~/.local/state/...; %LOCALAPPDATA% on
// Windows), and the byte limit: 2 GiB or a tenth of the free space there,
// whichever is smaller.
std::filesystem::path DefaultRunsFolder();
std::uint64_t DefaultJournalLimit(const std::filesystem::path& folder);

// The journal of one run as its files are saved, shared by the stores of
// the run's workers: it is started at the first entry, and entries, copies
// and the room they take are handed out one at a time.
class RunJournal {
 public:
  explicit RunJournal(RunJournals& journals) : journals_(journals) {}

  // The run's id, once its journal was started.
  std::optional<std::string> run() const;
  // A number for a new entry, and the run it belongs to; no run when the
  // journal could not be started.
  std::pair<int, std::optional<std::string>> NewEntry();
  // Copies the file's old content as entry `number`'s, when there is room
  // for `size` more bytes; whether it was kept.
  bool KeepCopy(const std::string& run, int number, const std::string& path, std::uint64_t size);
  // Appends a small old content, already in memory, to the run's file of
  // small contents: one write instead of a file made for each. Where it
  // starts, if it was kept.
  std::optional<std::uint64_t> PackCopy(const std::string& run, std::string_view content);
  void DropCopy(const std::string& run, int number);
  void Record(const std::string& run, const JournalEntry& entry);
  // Takes back the pending entry `number` (its save failed).
  void TakeBack(int number);
  // The next entry starts the journal of a new run.
  void Restart();

 private:
  mutable std::mutex mutex_;
  RunJournals& journals_;
  std::optional<std::string> run_;
  bool started_ = false;
  int entries_ = 0;
  std::ofstream journal_;  // the run's list of entries, open for appending
  std::ofstream packed_;   // the run's small old contents, one after another
  std::uint64_t packedSize_ = 0;
  std::uint64_t copying_ = 0;  // the bytes of copies being made
};

// A file store that writes a run's journal as it saves: before a file is
// replaced its old content is copied into the journal; once it is saved,
// what was written is recorded. A file whose old content does not fit is
// saved all the same, and `notKept` is told. Each worker of a run has its
// own store over the run's one journal.
class JournaledFileStore final : public FileStoreLayer {
 public:
  JournaledFileStore(FileStore& store, RunJournal& journal,
                     std::function<void(const std::string& path)> notKept);
  // A store with a journal of its own, for a run by one worker.
  JournaledFileStore(FileStore& store, RunJournals& journals,
                     std::function<void(const std::string& path)> notKept);

  LoadedFile Load(const std::string& path) override;
  std::optional<FileError> Save(const std::string& path, const std::string& text) override;

  // The run this store journals, once a file was saved.
  std::optional<std::string> run() const { return journal_.run(); }
  // The next save starts the journal of a new run.
  void NewRun() { journal_.Restart(); }

 private:
  std::unique_ptr<RunJournal> ownJournal_;
  RunJournal& journal_;
  std::function<void(const std::string&)> notKept_;
  // The file loaded last, as it was before it was read.
  std::map<std::string, FileStamp> stamps_;
  // The content of the file loaded last, when small enough to keep.
  std::string loadedPath_;
  std::optional<std::string> loadedText_;
};

// What became of one file when a run was undone.
struct UndoneFile {
  std::string path;
  std::optional<FileError> error;  // why it was left alone, if it was
  std::string reason;              // the same, as the user reads it
};

// Puts back the old content, mode and times of every file of the run that
// is still exactly what the run wrote (size, time and content hash), newest
// change first, through the store's safe saving. A file changed since is
// left alone with its reason; a file undone already is passed over.
std::vector<UndoneFile> UndoRun(FileStore& store, RunJournals& journals, const std::string& run);

}  // namespace quillmere
