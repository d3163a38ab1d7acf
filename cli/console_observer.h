#pragma once

#include <chrono>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "batch_job.h"

namespace quillmere {

// Takes a stop signal (Ctrl+C, SIGTERM, SIGHUP, SIGQUIT) that StopSignals
// caught as a stop request at the run's next event point: the file then in
// hand is still finished.
class SignalledObserver : public BatchObserver {
 public:
  // The stop signal taken, or 0.
  int stoppedBy() const { return stoppedBy_; }
  // The files finished so far.
  int handled() const { return handled_; }

  // A signal that came during the file before counts: no file is started
  // after it.
  bool StopRequested() override {
    DrainEvents();
    return stoppedBy_ != 0;
  }
  void DrainEvents() override;

 protected:
  void CountHandled() { ++handled_; }

 private:
  int stoppedBy_ = 0;
  int handled_ = 0;
};

// A run on a console: failures, restored files and what the stores noticed
// become lines on the error stream (the reason after a tab), progress
// becomes a line that rewrites itself when the error stream is a terminal,
// and the diffs the stores made go to `out`; with a `list` (a dry run) the
// paths of the files that would change go there. A run that `writesNothing`
// tells the files it would restore.
class ConsoleObserver final : public SignalledObserver {
 public:
  ConsoleObserver(std::ostream& err, bool showProgress, std::ostream& out, std::ostream* list,
                  bool writesNothing = false);

  // Clears the progress line, if one is shown.
  void EndProgress();

  void FileStarted(int index, const std::string& path, int percent) override;
  void FileRestored(const std::string& path) override;
  void FileFailed(FileStage stage, const std::string& path, const FileError& error) override;
  void FileFinished(int index, const std::string& path, const FileOutcome& outcome) override;
  void RunEnded(const RunCounters&, bool) override { EndProgress(); }

 private:
  void Line(const std::string& text, const std::string& details);

  std::ostream& err_;
  bool showProgress_;
  std::ostream& out_;
  std::ostream* list_;
  bool writesNothing_;
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
