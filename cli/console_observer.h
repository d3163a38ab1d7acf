#pragma once

#include <chrono>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "batch_job.h"

namespace quillmere {

// A run on a console: failures and restored files become lines on the error
// stream (the reason after a tab), progress becomes a line that rewrites
// itself when the error stream is a terminal, and a stop signal (Ctrl+C,
// SIGTERM, SIGHUP, SIGQUIT) caught by StopSignals is taken at the next file's
// event point as a stop request: the file then in hand is still finished.
class ConsoleObserver final : public BatchObserver {
 public:
  ConsoleObserver(std::ostream& err, bool showProgress);

  // The stop signal taken, or 0.
  int stoppedBy() const { return stoppedBy_; }
  // Clears the progress line, if one is shown.
  void EndProgress();
  // A line that warns of something that is no error.
  void Warn(const std::string& text, const std::string& details) { Line(text, details); }

  bool StopRequested() override { return stoppedBy_ != 0; }
  void FileStarted(int index, const std::string& path, int percent) override;
  void DrainEvents() override;
  void FileRestored(const std::string& path) override;
  void FileFailed(FileStage stage, const std::string& path, const FileError& error) override;
  void RunEnded(const RunCounters&, bool) override { EndProgress(); }

 private:
  void Line(const std::string& text, const std::string& details);

  std::ostream& err_;
  bool showProgress_;
  int stoppedBy_ = 0;
  bool progressShown_ = false;
  std::chrono::steady_clock::time_point lastProgress_{};
};

// While it lives, the stop signals only record themselves for the console
// observer; the handlers that were in place before come back afterwards.
class StopSignals {
 public:
  StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  ~StopSignals();

 private:
  std::vector<std::pair<int, void (*)(int)>> previous_;
};

}  // namespace quillmere
