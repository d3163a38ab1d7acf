#pragma once

#include <string>
#include <vector>

#include "batch_job.h"
#include "file_list.h"
#include "file_store.h"
#include "window_fields.h"
#include "window_services.h"

namespace quillmere {

// What the main window does, whichever toolkit draws it: START/STOP runs the
// batch job over the file list with the controls locked and reports each
// file, failure and the summary; Add files, CLR and drops change the list;
// "Set for PDA" sets its switches. Runs on the window's thread; the window's
// events are handled once per file.
class MainWindowLogic : private BatchObserver {
 public:
  MainWindowLogic(WindowServices& window, FileStore& files);

  // The texts the window opens with.
  void OnInitWindow();
  // START/STOP: "Select files !" on an empty list, a stop request during a
  // run, or a run that returns when it has ended.
  void OnStart();
  void OnAddFiles();
  void OnClear();
  // Files dropped on the window; ignored while a run goes on.
  void OnDropFiles(const std::vector<std::string>& paths);
  // "Set for PDA": ticks or clears its boxes, keeping all else shown.
  void ApplyPdaPreset();

  bool running() const { return running_; }
  bool stopRequested() const { return stopRequested_; }
  const RunCounters& counters() const { return counters_; }
  const FileList& list() const { return list_; }
  WindowFields& fields() { return fields_; }

 private:
  // Adds the path to the list and its control unless it is listed.
  void AddPath(const std::string& path);
  void ReportSelected();
  void SetPercent(int percent);

  bool StopRequested() override { return stopRequested_; }
  void FileStarted(int index, const std::string& path, int percent) override;
  void DrainEvents() override;
  void FileRestored(const std::string&) override {}
  void FileFailed(FileStage stage, const std::string& path, const FileError& error) override;
  void RunEnded(const RunCounters& counters, bool stopped) override;

  WindowServices& window_;
  BatchJob job_;
  FileList list_;
  WindowFields fields_;
  RunCounters counters_;
  bool running_ = false;
  bool stopRequested_ = false;
};

}  // namespace quillmere
