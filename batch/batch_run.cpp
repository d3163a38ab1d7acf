#include "batch_run.h"

#include <new>
#include <stdexcept>
#include <utility>

#include "cleaning_pass.h"
#include "control_lock.h"
#include "progress.h"
#include "resource_ids.h"
#include "string_table.h"

namespace quillmere {
namespace {

constexpr const char* kSelectFiles = "Select files !";
// A box given no title of its own carries the program's name, as the
// platform's message boxes do by default; only the file error boxes are
// explicitly untitled.
constexpr const char* kProgramName = "Quillmere";
constexpr const char* kOpenError = "File open error: ";
constexpr const char* kSaveError = "File save error: ";
constexpr const char* kRestoredNotice = "File restored: ";
constexpr const char* kRestoredDetails =
    "its content from before an interrupted run was put back first";

}  // namespace

BatchRun::BatchRun(PlatformServices& platform, WindowFields& fields, FileStore& files)
    : platform_(platform), fields_(fields), files_(files) {}

void BatchRun::OnStart() {
  const int fileCount = platform_.ListCount();
  if (fileCount == 0) {
    platform_.ShowMessage(kSelectFiles, kProgramName, MessageStyle::kPlain, "");
    return;
  }
  if (running_) {
    // A STOP press, delivered by the queue draining of the run in progress.
    stopRequested_ = true;
    return;
  }
  Run(fileCount);
}

void BatchRun::Run(int fileCount) {
  running_ = true;
  stopRequested_ = false;
  counters_ = RunCounters{fileCount, 0, 0, 0};
  handled_.clear();
  platform_.SetProgress(0);
  platform_.ExchangeData(fields_, ExchangeDirection::kRead);
  platform_.ExchangeData(fields_, ExchangeDirection::kWrite);
  // The options are fixed for the whole run, whatever the nested handlers do.
  const CleaningOptions options = fields_.options;
  LockControls(platform_, false);
  platform_.SetCaption(ids::kStart, "STOP");

  for (int index = 0; index < fileCount; ++index) {
    if (stopRequested_) {
      EndRun(true);
      return;
    }
    ProcessFile(index, options);
  }
  EndRun(false);
}

void BatchRun::ProcessFile(int index, const CleaningOptions& options) {
  const std::string path = platform_.ListItem(index);
  fields_.statusText = path;
  const int percent = ProgressPercent(index + 1, counters_.fileCount);
  platform_.SetProgress(percent);
  fields_.percentText = PercentText(percent);
  platform_.ExchangeData(fields_, ExchangeDirection::kWrite);
  platform_.DrainEvents();

  TextBuffer buffer;
  bool alreadyHandled = false;
  if (const auto error = LoadAndClean(path, options, buffer, alreadyHandled)) {
    ReportFailure(kOpenError, path, *error);
    return;
  }
  // A file whose text did not change is never opened for writing, nor is one
  // this run has handled under another name.
  if (buffer.modified && !alreadyHandled) SaveFile(path, buffer);
}

std::optional<FileError> BatchRun::LoadAndClean(const std::string& path,
                                                const CleaningOptions& options, TextBuffer& buffer,
                                                bool& alreadyHandled) {
  try {
    LoadedFile loaded = files_.Load(path);
    if (loaded.restored) {
      ++counters_.restoredCount;
      platform_.ShowNotice(kRestoredNotice + path, kRestoredDetails);
    }
    if (!loaded.ok()) return loaded.error;
    alreadyHandled = !handled_.insert(loaded.key).second;
    if (alreadyHandled) return std::nullopt;
    buffer.text = std::move(loaded.text);
    buffer.modified = false;
    CleanText(buffer, options);
    return std::nullopt;
  } catch (const std::bad_alloc&) {
    // Too large to load or to clean: the file is left as it is.
  } catch (const std::length_error&) {
  }
  buffer = TextBuffer{};
  return FileError{FileProblem::kOutOfMemory, ""};
}

void BatchRun::SaveFile(const std::string& path, const TextBuffer& buffer) {
  std::optional<FileError> error;
  try {
    error = files_.Save(path, buffer.text);
  } catch (const std::bad_alloc&) {
    error = FileError{FileProblem::kOutOfMemory, ""};
  }
  if (error) {
    ReportFailure(kSaveError, path, *error);
  } else {
    ++counters_.replacedCount;
  }
}

void BatchRun::ReportFailure(const char* what, const std::string& path, const FileError& error) {
  ++counters_.errorCount;
  platform_.ShowMessage(what + path, "", MessageStyle::kExclamation, ReasonText(error));
}

void BatchRun::EndRun(bool stopped) {
  files_.Flush();
  if (stopped) {
    // The bar and the label keep the values of the last file started.
    fields_.statusText = Summary();
    platform_.ExchangeData(fields_, ExchangeDirection::kWrite);
  } else {
    platform_.SetProgress(100);
    fields_.statusText = Summary();
    platform_.SetProgress(0);
    fields_.percentText = PercentText(0);
    platform_.ExchangeData(fields_, ExchangeDirection::kWrite);
  }
  // A STOP press still waiting in the queue is handled while the run is on,
  // so it cannot start a new run once the run has ended.
  platform_.DrainEvents();
  running_ = false;
  RestoreControls(platform_);
}

std::string BatchRun::Summary() const {
  std::string summary = FormatString(LoadStringResource(ids::kStrRunSummary), counters_.fileCount,
                                     counters_.replacedCount, counters_.errorCount);
  if (counters_.restoredCount > 0) {
    summary += FormatString("\nRestored after an interrupted run : %d", counters_.restoredCount);
  }
  return summary;
}

}  // namespace quillmere
