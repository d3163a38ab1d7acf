#include "background_undo.h"

#include <utility>

namespace quillmere {

BackgroundUndo::BackgroundUndo(std::function<void(const UndoProgress&)> work) {
  worker_ = std::thread([this, work = std::move(work)] {
    std::exception_ptr thrown;
    try {
      work([this](const UndoneFile& file, int done, int total) {
        return Report(file, done, total);
      });
    } catch (...) {
      thrown = std::current_exception();
    }
    const std::lock_guard lock(mutex_);
    thrown_ = thrown;
    ended_ = true;
    changed_.notify_all();
  });
}

BackgroundUndo::~BackgroundUndo() {
  Stop();
  worker_.join();
}

bool BackgroundUndo::Report(const UndoneFile& file, int done, int total) {
  const std::lock_guard lock(mutex_);
  steps_.push_back({file, done, total});
  changed_.notify_all();
  return !stopped_;
}

std::optional<UndoStep> BackgroundUndo::Next(std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, wait, [this] { return !steps_.empty() || ended_; });
  if (steps_.empty()) return std::nullopt;
  UndoStep step = std::move(steps_.front());
  steps_.pop_front();
  return step;
}

bool BackgroundUndo::Finished() {
  const std::lock_guard lock(mutex_);
  if (!ended_ || !steps_.empty()) return false;
  if (thrown_) std::rethrow_exception(std::exchange(thrown_, nullptr));
  return true;
}

void BackgroundUndo::Stop() {
  const std::lock_guard lock(mutex_);
  stopped_ = true;
}

}  // namespace quillmere
