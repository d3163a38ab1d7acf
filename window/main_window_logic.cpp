#include "main_window_logic.h"

#include <algorithm>
#include <climits>

#include "cleaning_groups.h"
#include "control_lock.h"
#include "progress.h"
#include "resource_ids.h"
#include "string_table.h"
#include "texts.h"

namespace quillmere {

MainWindowLogic::MainWindowLogic(WindowServices& window, FileStore& files)
    : window_(window), job_(files, *this) {}

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

void MainWindowLogic::OnStart() {
  if (list_.size() == 0) {
    // A box given no title of its own carries the program's name, as the
    // platform's boxes do by default; only the file error boxes are untitled.
    window_.ShowMessage(window_.Translate(texts::kSelectFiles),
                        window_.Translate(texts::kProgramName), MessageStyle::kPlain, "");
    return;
  }
  if (running_) {
    // A STOP press, delivered by the event draining of the run in progress.
    stopRequested_ = true;
    return;
  }
  running_ = true;
  stopRequested_ = false;
  window_.SetProgress(0);
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
  // The options are fixed for the whole run, whatever the nested handlers do.
  const CleaningOptions options = fields_.options;
  LockControls(window_, false);
  window_.SetCaption(ids::kStart, window_.Translate(texts::kStop));
  counters_ = job_.Run(list_.FromTheTop(), options);
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
  window_.ShowMessage(window_.Translate(what) + path, "", MessageStyle::kExclamation,
                      ReasonText(error));
}

void MainWindowLogic::RunEnded(const RunCounters& counters, bool stopped) {
  counters_ = counters;
  if (stopped) {
    // The bar and the label keep the values of the last file started.
    fields_.statusText = RunSummary(counters);
  } else {
    window_.SetProgress(100);
    fields_.statusText = RunSummary(counters);
    SetPercent(0);
  }
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
  // A STOP press still waiting is handled while the run is on, so it cannot
  // start a new run once the run has ended.
  window_.DrainEvents();
  running_ = false;
  RestoreControls(window_);
}

void MainWindowLogic::AddPath(const std::string& path) {
  if (list_.Add(path)) window_.ListInsertAtTop(path);
}

void MainWindowLogic::OnAddFiles() {
  if (running_) return;
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  const auto chosen = window_.ChooseFiles();
  if (!chosen) return;
  for (const std::string& path : *chosen) AddPath(path);
  ReportSelected();
}

void MainWindowLogic::OnClear() {
  if (running_) return;
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  list_.Clear();
  window_.ListDeleteAll();
  fields_.statusText = window_.Translate(texts::kCleared);
  SetPercent(0);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

void MainWindowLogic::OnDropFiles(const std::vector<std::string>& paths) {
  if (running_) return;
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  LockControls(window_, true);
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
  SetPercent(0);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

void MainWindowLogic::ApplyPdaPreset() {
  window_.ExchangeData(fields_, ExchangeDirection::kRead);
  SetPdaSwitches(fields_.options);
  window_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

}  // namespace quillmere
