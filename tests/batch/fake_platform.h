#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform_services.h"

namespace quillmere::test {

// A window that records every call in order, with a list, controls that the
// data exchange reads and writes, and scripted event draining and dialogs.
class FakePlatform : public PlatformServices {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MessageStyle style;
    std::string details;
  };

  void EnableControl(int id, bool enabled) override;
  void SetCaption(int id, const std::string& caption) override;
  int ListCount() override { return static_cast<int>(list.size()); }
  std::string ListItem(int index) override { return list.at(static_cast<std::size_t>(index)); }
  void ListInsertAtTop(const std::string& path) override { list.push_front(path); }
  void ListDeleteAll() override;
  void ListFitColumn() override { log.push_back("fit"); }
  void SetProgress(int position) override;
  void ShowMessage(const std::string& text, const std::string& caption, MessageStyle style,
                   const std::string& details) override;
  void ShowNotice(const std::string& text, const std::string& details) override;
  void DrainEvents() override;
  std::optional<std::vector<std::string>> ChooseFiles() override;
  void ExchangeData(WindowFields& fields, ExchangeDirection direction) override;

  // Every call as one line: "disable 1000", "caption 1005 STOP", "progress 25",
  // "read", "write <status>|<percent>", "drain 3", "message <text>", "fit".
  std::vector<std::string> log;
  std::deque<std::string> list;
  // What the controls show; the exchange moves these to and from the fields.
  WindowFields controls;
  std::vector<int> progress;
  std::vector<WindowFields> writes;  // the fields at each write exchange
  std::vector<Message> messages;
  std::vector<std::string> notices;  // text, a tab, details
  int drains = 0;
  // Runs inside the numbered (1-based) draining, as a handler would.
  std::function<void(int drain)> onDrain;
  // Runs inside a message box's modal loop.
  std::function<void(const Message&)> onMessage;
  std::optional<std::vector<std::string>> nextChoice;

  // The log entries that start with `prefix`.
  std::vector<std::string> Entries(const std::string& prefix) const;
};

}  // namespace quillmere::test
