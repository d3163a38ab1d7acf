#include "main_window_logic.h"

#include <algorithm>
#include <climits>

#include "background_undo.h"
#include "cleaning_groups.h"
#include "code_page_setting.h"
#include "control_lock.h"
#include "folder_files.h"
#include "folder_tree.h"
#include "progress.h"
#include "resource_ids.h"
#include "run_summary.h"
#include "string_table.h"
#include "texts.h"

namespace quillmere {

namespace {

// While a folder's files are taken in, the window is serviced after this
// many, with their count in the status line.
constexpr int kFilesBetweenDrains = 1000;

}  // namespace

MainWindowLogic::MainWindowLogic(WindowServices& window, FileStore& files, Clock clock)
    : window_(window),
      clock_(clock ? std::move(clock) : [] { return std::chrono::steady_clock::now(); }),
      files_(files) {}

MainWindowLogic::MainWindowLogic(WindowServices& window, WindowJournal& journal, Clock clock)
    : MainWindowLogic(window, journal.store(), std::move(clock)) {
  journal_ = &journal;
}

void MainWindowLogic::RunOnWorkers(BaseStoreMaker bases, int workers) {
  bases_ = std::move(bases);
  workers_ = std::max(1, workers);
}

WorkerStoreMaker MainWindowLogic::WorkerStores() {
  return [this](FileNotes&) {
    std::unique_ptr<FileStore> base = bases_();
    return journal_ ? journal_->WorkerStore(std::move(base)) : std::move(base);
  };
}

bool MainWindowLogic::InQuietTime() const {
  return runEndedAt_ && clock_() - *runEndedAt_ < kStartQuietTime;
}

void MainWindowLogic::OnInitWindow() {
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
  fields_.statusText = window_.Translate(texts::kWelcome);
  SetPercent(0);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

void MainWindowLogic::SetPercent(int percent) {
  window_.SetProgress(percent);
  fields_.percentText = FormatString(window_.Translate(texts::kPercent), percent);
}

CleaningOptions MainWindowLogic::RunOptions() const {
  CleaningOptions options = fields_.options;
  options.encoding.legacy = legacyCodePage_;
  return options;
}

void MainWindowLogic::OnCodePageChosen(const std::string& name, const std::string& stateFolder) {
  legacyCodePage_ = name;
  if (const std::optional<std::string> why = SaveCodePageSetting(stateFolder, name)) {
    window_.ShowMessage(window_.Translate(texts::kCodePageNotKept),
                        window_.Translate(texts::kProgramName), MessageStyle::kExclamation, *why);
  }
}

void MainWindowLogic::OnStart() {
  if (running_) {
    // A STOP press, delivered by the event draining of the run in progress.
    stopRequested_ = true;
    return;
  }
  if (takingIn_ || InQuietTime()) return;
  if (list_.size() == 0) {
    // A box given no title of its own carries the program's name, as the
    // platform's boxes do by default; only the file error boxes are untitled.
    window_.ShowMessage(window_.Translate(texts::kSelectFiles),
                        window_.Translate(texts::kProgramName), MessageStyle::kPlain, "");
    return;
  }
  running_ = true;
  if (journal_) journal_->StartRun();
  stopRequested_ = false;
  noMoreErrorBoxes_ = false;
  failures_.clear();
  ignoredCopies_ = 0;
  rulesLeftOut_ = 0;
  handled_ = 0;
  window_.SetProgress(0);
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
  // The options are fixed for the whole run, whatever the nested handlers do.
  const CleaningOptions options = RunOptions();
  LockControls(window_, false);
  window_.SetCaption(ids::kStart, window_.Translate(texts::kStop));
  if (workers_ == 1) {
    counters_ = BatchJob(files_, *this).Run(list_.FromTheTop(), options);
    return;
  }
  std::vector<RunItem> items;
  for (std::string& path : list_.FromTheTop()) items.push_back({std::move(path), std::nullopt});
  counters_ = ParallelBatchJob(WorkerStores(), *this, workers_).Run(items, options);
}

void MainWindowLogic::FileStarted(int, const std::string& path, int percent) {
  fields_.statusText = path;
  SetPercent(percent);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

void MainWindowLogic::DrainEvents() {
  window_.DrainEvents();
}

void MainWindowLogic::FileFailed(FileStage stage, const std::string& path, const FileError& error) {
  const char* what = stage == FileStage::kOpen ? texts::kOpenError : texts::kSaveError;
  failures_.push_back({path, ReasonText(error)});
  // Once the run is to stop, files saved meanwhile by other workers are
  // still told, but a failure among them is only marked.
  if (noMoreErrorBoxes_ || stopRequested_) return;
  switch (window_.ShowFileError(window_.Translate(what) + path, failures_.back().reason)) {
    case FailureAnswer::kGoOn:
      break;
    case FailureAnswer::kStopRun:
      stopRequested_ = true;
      break;
    case FailureAnswer::kNoMoreBoxes:
      noMoreErrorBoxes_ = true;
      break;
  }
}

void MainWindowLogic::FileFinished(int, const std::string&, const FileOutcome& outcome) {
  ++handled_;
  for (const FileNote& note : outcome.notes) {
    if (note.kind == FileNote::Kind::kIgnoredCopy) ++ignoredCopies_;
    if (note.kind == FileNote::Kind::kRuleNotRepresentable) ++rulesLeftOut_;
  }
}

void MainWindowLogic::RunEnded(const RunCounters& counters, bool stopped) {
  counters_ = counters;
  // A stopped run's bar and label keep the values of the last file started.
  if (!stopped) {
    window_.SetProgress(100);
    SetPercent(0);
  }
  fields_.statusText = stopped
                           ? StoppedRunSummary(counters.fileCount, handled_, counters.replacedCount,
                                               counters.errorCount, counters.restoredCount)
                           : RunSummary(counters.fileCount, counters.replacedCount,
                                        counters.errorCount, counters.restoredCount);
  if (journal_ && journal_->notKept() > 0) {
    fields_.statusText +=
        '\n' + FormatString(window_.Translate(texts::kNoUndoCopySummary), journal_->notKept());
  }
  if (ignoredCopies_ > 0) {
    fields_.statusText +=
        '\n' + FormatString(window_.Translate(texts::kIgnoredCopiesSummary), ignoredCopies_);
  }
  if (rulesLeftOut_ > 0) {
    fields_.statusText +=
        '\n' + FormatString(window_.Translate(texts::kRuleLeftOutSummary), rulesLeftOut_);
  }
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
  window_.Announce(fields_.statusText);
  // A STOP press still waiting is handled while the run is on, so it cannot
  // start a new run once the run has ended.
  window_.DrainEvents();
  running_ = false;
  runEndedAt_ = clock_();
  RestoreControls(window_);
}

void MainWindowLogic::AddPath(const std::string& path) {
  if (IsFolder(path)) {
    AddFolder(path);
  } else if (list_.Add(path)) {
    window_.ListInsertAtTop(path);
  }
}

void MainWindowLogic::AddFolder(const std::string& folder) {
  // A tree of many files must not hold the window: it is serviced between
  // them, with every handler that could change the list refusing meanwhile.
  const bool outermost = !takingIn_;
  takingIn_ = true;
  const std::string progress = window_.Translate(texts::kDropProgress);
  WalkTree(folder, TreeFilter{}, [&](RunItem item) {
    if (item.error) {
      foldersNotRead_.push_back({std::move(item.path), ReasonText(*item.error)});
      return;
    }
    if (list_.Add(item.path)) window_.ListInsertAtTop(item.path);
    if (++takenIn_ % kFilesBetweenDrains == 0) {
      fields_.statusText = FormatString(progress, takenIn_);
      window_.ExchangeData(fields_, ExchangeDirection::kWrite);
      window_.DrainEvents();
    }
  });
  if (outermost) takingIn_ = false;
}

void MainWindowLogic::OnAddFolder(const std::string& folder) {
  if (busy()) return;
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  LockControls(window_, true);
  takenIn_ = 0;
  AddFolder(folder);
  ReportSelected();
  RestoreControls(window_);
}

void MainWindowLogic::RemovePaths(const std::vector<std::string>& paths) {
  if (busy()) return;
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  const int before = list_.size();
  list_.Remove(paths);
  ReportSelected();
  const int removed = before - list_.size();
  fields_.statusText +=
      '\n' + FormatString(window_.Translate(FormFor(texts::kRemovedFiles, removed)), removed);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

void MainWindowLogic::OnAddFiles() {
  if (busy()) return;
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  const auto chosen = window_.ChooseFiles();
  if (!chosen) return;
  for (const std::string& path : *chosen) AddPath(path);
  ReportSelected();
}

void MainWindowLogic::OnClear() {
  if (busy()) return;
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  list_.Clear();
  failures_.clear();
  window_.ListDeleteAll();
  fields_.statusText = window_.Translate(texts::kCleared);
  SetPercent(0);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

void MainWindowLogic::OnDropFiles(const std::vector<std::string>& paths) {
  if (busy()) return;
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  LockControls(window_, true);
  takenIn_ = 0;
  const int count = static_cast<int>(std::min<std::size_t>(paths.size(), INT_MAX));
  const std::string dropProgress = window_.Translate(texts::kDropProgress);
  for (int index = 0; index < count; ++index) {
    AddPath(paths[static_cast<std::size_t>(index)]);
    SetPercent(ProgressPercent(index + 1, count));
    fields_.statusText = FormatString(dropProgress, index);
    window_.ExchangeData(fields_, ExchangeDirection::kWrite);
  }
  ReportSelected();
  RestoreControls(window_);
}

void MainWindowLogic::ReportSelected() {
  window_.ListFitColumn();
  fields_.statusText = FormatString(window_.Translate(texts::kSelectedFiles), list_.size());
  if (!foldersNotRead_.empty()) {
    const Failure& first = foldersNotRead_.front();
    fields_.statusText += '\n' +
                          FormatString(window_.Translate(texts::kFoldersNotReadSummary),
                                       static_cast<int>(foldersNotRead_.size())) +
                          first.path + " (" + first.reason + ")";
    foldersNotRead_.clear();
  }
  SetPercent(0);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

void MainWindowLogic::ApplyPdaPreset() {
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  SetPdaSwitches(fields_.options);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

void MainWindowLogic::OnUndoLastRun() {
  if (busy()) return;
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  const std::optional<RunRecord> last = journal_ ? journal_->LastRun() : std::nullopt;
  if (!last) {
    window_.ShowMessage(window_.Translate(texts::kNothingToUndo),
                        window_.Translate(texts::kProgramName), MessageStyle::kPlain, "");
    return;
  }
  if (!window_.Confirm(UndoQuestion(*last))) return;
  // Put back on a thread of its own, the status line telling which file,
  // the window answering all the while, and STOP ending it after the file in
  // hand (a later undo goes on from there).
  running_ = true;
  stopRequested_ = false;
  failures_.clear();
  LockControls(window_, false);
  window_.SetCaption(ids::kStart, window_.Translate(texts::kStop));
  const UndoCounts counts = ShowUndo(last->id);
  const std::string undone = std::to_string(counts.undone);
  const std::string leftAlone = std::to_string(failures_.size());
  fields_.statusText =
      counts.seen < counts.total
          ? FormatPlaces(window_.Translate(FormFor(texts::kUndoStopped, counts.undone)),
                         {undone, leftAlone, std::to_string(counts.total - counts.seen)})
          : FormatPlaces(window_.Translate(FormFor(texts::kUndoResult, counts.undone)),
                         {undone, leftAlone});
  SetPercent(0);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
  window_.Announce(fields_.statusText);
  running_ = false;
  runEndedAt_ = clock_();
  RestoreControls(window_);
}

MainWindowLogic::UndoCounts MainWindowLogic::ShowUndo(const std::string& run) {
  const std::string undoing = window_.Translate(texts::kUndoing);
  UndoCounts counts;
  BackgroundUndo undo([this, run](const UndoProgress& progress) { journal_->Undo(run, progress); });
  while (!undo.Finished()) {
    if (std::optional<UndoStep> step = undo.Next(kUndoDrainEvery)) {
      if (step->file.error) {
        failures_.push_back({step->file.path, step->file.reason});
      } else {
        ++counts.undone;
      }
      counts.seen = step->done;
      counts.total = step->total;
      fields_.statusText = FormatPlaces(undoing, {step->file.path});
      SetPercent(ProgressPercent(step->done, step->total));
      window_.ExchangeData(fields_, ExchangeDirection::kWrite);
    }
    window_.DrainEvents();
    if (stopRequested_) undo.Stop();
  }
  return counts;
}

// "Put back the 3 files the last run changed, on ..., as they were before
// it?", then up to five of them and how many more.
std::string MainWindowLogic::UndoQuestion(const RunRecord& run) {
  std::string question = FormatPlaces(window_.Translate(FormFor(texts::kUndoQuestion, run.files)),
                                      {std::to_string(run.files), window_.FormatTime(run.started)});
  const std::vector<std::string> shown = journal_->FilesOf(run.id, kFilesInUndoQuestion);
  if (!shown.empty()) question += "\n";
  for (const std::string& path : shown) question += "\n" + path;
  if (run.files > static_cast<int>(shown.size())) {
    question += "\n" + FormatPlaces(window_.Translate(texts::kUndoMoreFiles),
                                    {std::to_string(run.files - static_cast<int>(shown.size()))});
  }
  return question;
}

}  // namespace quillmere
