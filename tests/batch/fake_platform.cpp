#include "fake_platform.h"

#include <utility>

namespace quillmere::test {

void FakePlatform::EnableControl(int id, bool enabled) {
  log.push_back((enabled ? "enable " : "disable ") + std::to_string(id));
}

void FakePlatform::SetCaption(int id, const std::string& caption) {
  log.push_back("caption " + std::to_string(id) + " " + caption);
}

void FakePlatform::ListDeleteAll() {
  list.clear();
  log.push_back("delete all");
}

void FakePlatform::SetProgress(int position) {
  progress.push_back(position);
  log.push_back("progress " + std::to_string(position));
}

void FakePlatform::ShowMessage(const std::string& text, const std::string& caption,
                               MessageStyle style, const std::string& details) {
  messages.push_back({text, caption, style, details});
  log.push_back("message " + text);
  if (onMessage) onMessage(messages.back());
}

void FakePlatform::ShowNotice(const std::string& text, const std::string& details) {
  notices.push_back(text + "\t" + details);
  log.push_back("notice " + text);
}

void FakePlatform::DrainEvents() {
  ++drains;
  log.push_back("drain " + std::to_string(drains));
  if (onDrain) onDrain(drains);
}

std::optional<std::vector<std::string>> FakePlatform::ChooseFiles() {
  log.push_back("dialog");
  return std::exchange(nextChoice, std::nullopt);
}

void FakePlatform::ExchangeData(WindowFields& fields, ExchangeDirection direction) {
  if (direction == ExchangeDirection::kRead) {
    fields = controls;
    log.push_back("read");
  } else {
    controls = fields;
    writes.push_back(fields);
    log.push_back("write " + fields.statusText + "|" + fields.percentText);
  }
}

std::vector<std::string> FakePlatform::Entries(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& entry : log) {
    if (entry.starts_with(prefix)) found.push_back(entry);
  }
  return found;
}

}  // namespace quillmere::test
