#pragma once
// An undo put on a thread of its own, so that the window's thread stays free
// to answer the user while files are put back; each file's result is queued
// for the window's thread to show.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "undo_run.h"

namespace quillmere {

struct UndoStep {
  UndoneFile file;
  int done = 0;
  int total = 0;
};

class BackgroundUndo {
 public:
  // Starts `work` on its own thread at once, handing it the progress to report to.
  explicit BackgroundUndo(std::function<void(const UndoProgress&)> work);
  BackgroundUndo(const BackgroundUndo&) = delete;
  BackgroundUndo& operator=(const BackgroundUndo&) = delete;
  ~BackgroundUndo();  // waits for the work to end

  // The next file's result, waiting at most `wait` for one.
  std::optional<UndoStep> Next(std::chrono::milliseconds wait);
  // True once the work has ended and every result was taken; what the work
  // threw is thrown here, on the window's thread.
  bool Finished();
  // No file is begun after this; the one in hand is finished.
  void Stop();

 private:
  bool Report(const UndoneFile& file, int done, int total);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<UndoStep> steps_;
  bool ended_ = false;
  bool stopped_ = false;
  std::exception_ptr thrown_;
  std::thread worker_;
};

}  // namespace quillmere
