#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

#include "cleaning_options.h"
#include "file_store.h"
#include "platform_services.h"
#include "text_buffer.h"
#include "window_fields.h"

namespace quillmere {

// The counters of one run.
struct RunCounters {
  std::int32_t fileCount = 0;
  std::int32_t replacedCount = 0;
  std::int32_t errorCount = 0;
  // Files whose old content was put back after an interrupted run.
  std::int32_t restoredCount = 0;
};

// What the START/STOP button does: walks the file list from the top, loads,
// cleans and writes back each file whose text changed, reports progress,
// failures and a summary. Runs on the window's thread; the window's events are
// handled between files. A file met again in the same run under another name
// is not cleaned twice.
class BatchRun {
 public:
  BatchRun(PlatformServices& platform, WindowFields& fields, FileStore& files);

  // START/STOP click: shows "Select files !" on an empty list, asks a run in
  // progress to stop, or starts a run and returns when it has ended.
  void OnStart();

  // Whether a close request may close the window now.
  bool AllowClose() const { return !running_; }

  bool running() const { return running_; }
  bool stopRequested() const { return stopRequested_; }
  const RunCounters& counters() const { return counters_; }

 private:
  void Run(int fileCount);
  void ProcessFile(int index, const CleaningOptions& options);
  // Loads and cleans one file; the reason when it could not be.
  std::optional<FileError> LoadAndClean(const std::string& path, const CleaningOptions& options,
                                        TextBuffer& buffer, bool& alreadyHandled);
  void SaveFile(const std::string& path, const TextBuffer& buffer);
  void ReportFailure(const char* what, const std::string& path, const FileError& error);
  void EndRun(bool stopped);
  std::string Summary() const;

  PlatformServices& platform_;
  WindowFields& fields_;
  FileStore& files_;
  RunCounters counters_;
  std::unordered_set<FileKey, FileKeyHash> handled_;
  bool running_ = false;
  bool stopRequested_ = false;
};

}  // namespace quillmere
