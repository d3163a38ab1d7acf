#pragma once

#include <chrono>
#include <deque>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "cleaning_options.h"
#include "platform_services.h"

namespace quillmere {

class BatchRun;

// The window the batch run talks to, on a console: the file list is kept in
// memory, message boxes and notices become lines on the error stream (the
// details after a tab), the status line and percentage become a progress line
// when the error stream is a terminal, and a stop signal (Ctrl+C, SIGTERM,
// SIGHUP, SIGQUIT) is the STOP press that the run's event draining delivers.
class ConsolePlatform final : public PlatformServices {
 public:
  ConsolePlatform(const CleaningOptions& options, std::ostream& err, bool showProgress);

  // The run whose STOP an interrupt presses.
  void SetRun(BatchRun& run) { run_ = &run; }
  // The stop signal delivered as STOP, or 0.
  int interruptedBy() const { return interruptedBy_; }
  // Clears the progress line, if one is shown.
  void EndProgress();

  void EnableControl(int, bool) override {}
  void SetCaption(int, const std::string&) override {}
  int ListCount() override;
  std::string ListItem(int index) override;
  void ListInsertAtTop(const std::string& path) override { list_.push_front(path); }
  void ListDeleteAll() override { list_.clear(); }
  void ListFitColumn() override {}
  void SetProgress(int) override {}
  void ShowMessage(const std::string& text, const std::string& caption, MessageStyle style,
                   const std::string& details) override;
  void ShowNotice(const std::string& text, const std::string& details) override;
  void DrainEvents() override;
  std::optional<std::vector<std::string>> ChooseFiles() override { return std::nullopt; }
  void ExchangeData(WindowFields& fields, ExchangeDirection direction) override;

 private:
  void ShowProgress(const std::string& percent, const std::string& status);

  CleaningOptions options_;
  std::ostream& err_;
  bool showProgress_;
  BatchRun* run_ = nullptr;
  int interruptedBy_ = 0;
  std::deque<std::string> list_;
  std::string statusText_;
  std::string percentText_;
  bool progressShown_ = false;
  std::chrono::steady_clock::time_point lastProgress_{};
};

// While it lives, a stop signal (SIGINT, SIGTERM, SIGHUP, SIGQUIT) only
// records itself for the console platform's event draining to turn into a
// STOP press; the handlers that were in place before come back afterwards.
class InterruptAsStop {
 public:
  InterruptAsStop();
  InterruptAsStop(const InterruptAsStop&) = delete;
  InterruptAsStop& operator=(const InterruptAsStop&) = delete;
  ~InterruptAsStop();

 private:
  std::vector<std::pair<int, void (*)(int)>> previous_;
};

}  // namespace quillmere
