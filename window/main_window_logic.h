#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "batch_job.h"
#include "file_list.h"
#include "file_store.h"
#include "parallel_batch_job.h"
#include "window_fields.h"
#include "window_journal.h"
#include "window_services.h"

namespace quillmere {

// What the main window does, whichever toolkit draws it: START/STOP runs the
// batch job over the file list with the controls locked and reports each
// file, failure and the summary; Add files, CLR and drops change the list;
// "Set for PDA" sets its switches; "Undo last run" puts back what the last run
// changed. Runs on the window's thread; the window's events are handled once
// per file. A run may go on several workers at once: the window still hears
// of the files in the list's order, on its own thread, exactly as from a run
// by one.
class MainWindowLogic : private BatchObserver {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // Makes the base store of one worker of a run.
  using BaseStoreMaker = std::function<std::unique_ptr<FileStore>()>;
  // A file the last run failed on, or the last undo left alone, with its
  // reason.
  struct Failure {
    std::string path;
    std::string reason;
  };

  // A START that comes this soon after a run ended is the tail of that run (a
  // late click, the Enter that closed its last box), not a new run.
  static constexpr std::chrono::milliseconds kStartQuietTime{1000};
  // How many of a run's files the undo question shows.
  static constexpr int kFilesInUndoQuestion = 5;
  // How long the window waits for an undo's next file before it answers the user.
  static constexpr std::chrono::milliseconds kUndoDrainEvery{20};

  // Runs save through `files` and keep no journal.
  MainWindowLogic(WindowServices& window, FileStore& files, Clock clock = nullptr);
  // Runs save through the journal, and can be undone.
  MainWindowLogic(WindowServices& window, WindowJournal& journal, Clock clock = nullptr);

  // The texts the window opens with.
  void OnInitWindow();
  // START/STOP: "Select files !" on an empty list, a stop request during a
  // run, or a run that returns when it has ended.
  void OnStart();
  void OnAddFiles();
  void OnClear();
  // Files dropped on the window; a folder adds the text and HTML files in
  // its tree. Ignored while a run goes on.
  void OnDropFiles(const std::vector<std::string>& paths);
  // Adds the text and HTML files in a folder's tree.
  void OnAddFolder(const std::string& folder);
  // Takes these paths off the list (the window's list control takes them off
  // itself) and tells how many were taken off and how many are left.
  void RemovePaths(const std::vector<std::string>& paths);
  // "Set for PDA": ticks or clears its boxes, keeping all else shown.
  void ApplyPdaPreset();
  // "Undo last run": asks first, telling how many files, from when, and up
  // to five of them, then puts back what the last run not yet undone (of
  // this window's, once it made one) changed, file by file as a run goes;
  // the counts go in the status line, the files left alone in failures().
  // Ignored while busy.
  void OnUndoLastRun();

  // Runs go on `workers` workers at once, each saving through a base store
  // `bases` makes (with the journal on top, when runs keep one) rather than
  // through the store the window was made with.
  void RunOnWorkers(BaseStoreMaker bases, int workers);

  // For tests: the clock that times the quiet time after a run.
  void SetClock(Clock clock) { clock_ = std::move(clock); }

  bool running() const { return running_; }
  // A run goes on, or paths are being taken in: the list and the window's
  // end wait.
  bool busy() const { return running_ || takingIn_; }
  const std::vector<Failure>& failures() const { return failures_; }
  bool stopRequested() const { return stopRequested_; }
  const RunCounters& counters() const { return counters_; }
  const FileList& list() const { return list_; }
  WindowFields& fields() { return fields_; }

  // The code page of older files (no byte order mark, not valid UTF-8): a
  // name, or empty for the system's own. Runs and previews read files in it.
  void SetLegacyCodePage(std::string name) { legacyCodePage_ = std::move(name); }
  const std::string& legacyCodePage() const { return legacyCodePage_; }
  // The user chose a code page of older files in its box: it holds from now
  // on and is kept in `stateFolder` for later sessions; a box says why when
  // it cannot be kept.
  void OnCodePageChosen(const std::string& name, const std::string& stateFolder);
  // The options a run or a preview takes: the controls' last read with the
  // code page of older files.
  CleaningOptions RunOptions() const;

 private:
  // Adds the path to the list and its control unless it is listed; a folder
  // adds the files in it.
  void AddPath(const std::string& path);
  void AddFolder(const std::string& folder);
  bool InQuietTime() const;
  void ReportSelected();
  std::string UndoQuestion(const RunRecord& run);
  struct UndoCounts {
    int undone = 0;  // put back
    int seen = 0;    // put back or left alone
    int total = 0;   // the files of the run to undo
  };
  // Undoes `run` off the window's thread, showing each file as it is done.
  UndoCounts ShowUndo(const std::string& run);
  void SetPercent(int percent);
  // The store of each worker of the next run.
  WorkerStoreMaker WorkerStores();

  bool StopRequested() override { return stopRequested_; }
  void FileStarted(int index, const std::string& path, int percent) override;
  void DrainEvents() override;
  void FileRestored(const std::string&) override {}
  void FileFailed(FileStage stage, const std::string& path, const FileError& error) override;
  void FileFinished(int index, const std::string& path, const FileOutcome& outcome) override;
  void RunEnded(const RunCounters& counters, bool stopped) override;

  WindowServices& window_;
  WindowJournal* journal_ = nullptr;
  Clock clock_;
  FileStore& files_;
  BaseStoreMaker bases_;  // none: one worker, saving through files_
  int workers_ = 1;
  FileList list_;
  WindowFields fields_;
  std::string legacyCodePage_;
  RunCounters counters_;
  std::vector<Failure> failures_;
  std::vector<Failure> foldersNotRead_;  // of the paths being taken in
  std::optional<std::chrono::steady_clock::time_point> runEndedAt_;
  bool running_ = false;
  bool stopRequested_ = false;
  bool noMoreErrorBoxes_ = false;  // the user asked for no more error boxes this run
  bool takingIn_ = false;
  int takenIn_ = 0;
  int ignoredCopies_ = 0;  // of the run going on
  int rulesLeftOut_ = 0;   // files whose code page lacks a rule text, of the run going on
  int handled_ = 0;        // the files of the run going on that were handled
};

}  // namespace quillmere
