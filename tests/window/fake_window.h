#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "manual_clock.h"
#include "window_services.h"

namespace quillmere::test {

// The locked set, in the order the window disables and enables it.
extern const std::vector<int> kLockedInOrder;

// A window that records every call in order, with a list control, controls
// that the data exchange reads and writes, and scripted event draining and
// dialogs. Texts are shown untranslated.
class FakeWindow : public WindowServices {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MessageStyle style;
    std::string details;
  };

  std::string Translate(const char* text) override { return text; }
  void EnableControl(int id, bool enabled) override;
  void SetCaption(int id, const std::string& caption) override;
  void ListInsertAtTop(const std::string& path) override { list.push_front(path); }
  void ListDeleteAll() override;
  void ListFitColumn() override { log.push_back("fit"); }
  void SetProgress(int position) override;
  void ShowMessage(const std::string& text, const std::string& caption, MessageStyle style,
                   const std::string& details) override;
  // Shown as a message with no caption and the exclamation style, then
  // answered with `failureAnswer`.
  FailureAnswer ShowFileError(const std::string& text, const std::string& details) override;
  // Answers `answer`; "confirm <question>".
  bool Confirm(const std::string& question) override;
  // "TIME", the moment kept in `times`.
  std::string FormatTime(std::int64_t secondsSinceEpoch) override;
  void Announce(const std::string& text) override { announced.push_back(text); }
  void DrainEvents() override;
  std::optional<std::vector<std::string>> ChooseFiles() override;
  void ExchangeData(WindowFields& fields, ExchangeDirection direction) override;

  // Every call as one line: "disable 1000", "caption 1005 STOP", "progress 25",
  // "read", "write <status>|<percent>", "drain 3", "message <text>", "fit",
  // "confirm <question>".
  std::vector<std::string> log;
  std::deque<std::string> list;
  // What the controls show; the exchange moves these to and from the fields.
  WindowFields controls;
  std::vector<int> progress;
  std::vector<WindowFields> writes;  // the fields at each write exchange
  std::vector<Message> messages;
  std::vector<std::string> announced;
  int drains = 0;
  // Runs inside the numbered (1-based) draining, as a handler would.
  std::function<void(int drain)> onDrain;
  // Runs inside a message box's modal loop.
  std::function<void(const Message&)> onMessage;
  std::optional<std::vector<std::string>> nextChoice;
  bool answer = true;
  FailureAnswer failureAnswer = FailureAnswer::kGoOn;
  std::vector<std::int64_t> times;

  // The log entries that start with `prefix`.
  std::vector<std::string> Entries(const std::string& prefix) const;
};

}  // namespace quillmere::test
