#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "file_system.h"
#include "run_folder.h"

namespace quillmere {

// A run as the journals list it.
struct RunRecord {
  std::string id;            // "20261207-135601" (then "-2", ...), sorting as the runs were made
  std::int64_t started = 0;  // seconds since the epoch
  int files = 0;
  std::uint64_t bytes = 0;  // the old contents kept
  bool undone = false;      // every kept file was put back
};

// The journals of the last runs in a private folder of the user's state:
// each the old content of every file its run changed, so that the run can
// be undone. At most the last 10 runs are kept, and at most `byteLimit`
// bytes: the oldest runs give way first. The folder is made for the user
// alone, and refused when another user owns it or others may write in it.
class RunJournals {
 public:
  static constexpr int kRunsKept = 10;

  RunJournals(std::filesystem::path folder, std::uint64_t byteLimit);
  RunJournals(std::unique_ptr<FileSystem> fs, std::filesystem::path folder,
              std::uint64_t byteLimit);

  const std::filesystem::path& folder() const { return path_; }

  // Newest first; a run whose journal cannot be read (another run writing
  // it) is left out.
  std::vector<RunRecord> List();
  // One run's folder, to read or undo.
  [[nodiscard]] Result<std::unique_ptr<RunFolder>> OpenRun(const std::string& run);
  // A new run's folder with its journal begun, made after the oldest runs
  // beyond the limit went.
  [[nodiscard]] Result<std::unique_ptr<RunFolder>> StartRun();
  // Frees room for `bytes` more, removing the oldest runs but `run`; whether
  // there is room.
  bool MakeRoom(const std::string& run, std::uint64_t bytes);
  // Counts `bytes` written into, or removed from, the folder since.
  void Added(std::uint64_t bytes);
  void Removed(std::uint64_t bytes);
  // Deletes a run's journal, or every run's.
  [[nodiscard]] MaybeError Forget(const std::string& run);
  [[nodiscard]] MaybeError ForgetAll();

 private:
  [[nodiscard]] Result<std::unique_ptr<Folder>> Runs(bool create);
  // The runs' ids, oldest first.
  [[nodiscard]] Result<std::vector<std::string>> RunIds(Folder& runs);
  [[nodiscard]] MaybeError RemoveRun(Folder& runs, const std::string& run);
  std::uint64_t BytesUsed(Folder& runs);

  std::unique_ptr<FileSystem> fs_;
  std::filesystem::path path_;
  std::uint64_t byteLimit_;
  // The bytes the folder holds, measured once and then kept up to date, so
  // that a run of many files does not measure the whole folder at each.
  std::optional<std::uint64_t> used_;
};

// The newest run that changed files and is not undone yet, if any.
std::optional<RunRecord> LastRunToUndo(RunJournals& journals);

// The runs' folder of the user running the program, in the program's state
// folder, and the byte limit: 2 GiB or a tenth of the free space there,
// whichever is smaller.
std::filesystem::path DefaultRunsFolder();
std::uint64_t DefaultJournalLimit(const std::filesystem::path& folder);

}  // namespace quillmere
