#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "file_store.h"
#include "layered_file_store.h"
#include "run_journal.h"
#include "undo_run.h"

namespace quillmere {

// The undo journals of a window's runs: each run saves through the journal,
// which counts the files it could keep no old content of, and the last run
// not yet undone can be put back: of the runs this window made, or, before
// it made one, of the user's.
class WindowJournal {
 public:
  // In the user's runs folder, within its default bounds.
  explicit WindowJournal(FileStore& files);
  WindowJournal(FileStore& files, std::filesystem::path folder, std::uint64_t byteLimit);
  WindowJournal(const WindowJournal&) = delete;
  WindowJournal& operator=(const WindowJournal&) = delete;

  // The store a run saves through.
  FileStore& store() { return saving_; }
  // The store of one worker of a run: `base` with the run's journal on top.
  std::unique_ptr<FileStore> WorkerStore(std::unique_ptr<FileStore> base);
  // The next save begins the journal of a new run.
  void StartRun();
  // The files of the current or last run saved without an undo copy.
  int notKept() const { return notKept_.load(); }

  std::optional<RunRecord> LastRun();
  // Up to `count` of the files the run changed, its newest change first.
  std::vector<std::string> FilesOf(const std::string& run, int count);
  std::vector<UndoneFile> Undo(const std::string& run, const UndoProgress& progress = {});

 private:
  FileStore& files_;
  RunJournals journals_;
  RunJournal journal_;
  LayeredFileStore saving_;
  std::atomic<int> notKept_ = 0;      // counted by every worker of the run
  std::vector<std::string> ownRuns_;  // the runs this window made, oldest first
};

}  // namespace quillmere
