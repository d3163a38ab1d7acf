#pragma once

#include <chrono>
#include <deque>
#include <iosfwd>
#include <string>

#include "cleaning_options.h"
#include "platform_services.h"

namespace quillmere {

class BatchRun;

// The window the batch run talks to, on a console: the file list is kept in
// memory, message boxes become lines on the error stream, the status line and
// percentage become a progress line when the error stream is a terminal, and
// an interrupt (Ctrl+C) is the STOP press that the run's event draining
// delivers.
class ConsolePlatform final : public PlatformServices {
 public:
  ConsolePlatform(const CleaningOptions& options, std::ostream& err, bool showProgress);

  // The run whose STOP an interrupt presses.
  void SetRun(BatchRun& run) { run_ = &run; }
  // Whether an interrupt was delivered as STOP.
  bool interrupted() const { return interrupted_; }
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
  void ShowMessage(const std::string& text, const std::string& caption,
                   MessageStyle style) override;
  void DrainEvents() override;
  std::optional<std::vector<std::string>> ChooseFiles() override { return std::nullopt; }
  void ExchangeData(WindowFields& fields, ExchangeDirection direction) override;

 private:
  void ShowProgress(const std::string& percent, const std::string& status);

  CleaningOptions options_;
  std::ostream& err_;
  bool showProgress_;
  BatchRun* run_ = nullptr;
  bool interrupted_ = false;
  std::deque<std::string> list_;
  std::string statusText_;
  std::string percentText_;
  bool progressShown_ = false;
  std::chrono::steady_clock::time_point lastProgress_{};
};

// While it lives, an interrupt (SIGINT) only raises a flag that the console
// platform's event draining turns into a STOP press; the handler that was in
// place before comes back afterwards.
class InterruptAsStop {
 public:
  InterruptAsStop();
  InterruptAsStop(const InterruptAsStop&) = delete;
  InterruptAsStop& operator=(const InterruptAsStop&) = delete;
  ~InterruptAsStop();

 private:
  void (*previous_)(int);
};

}  // namespace quillmere
