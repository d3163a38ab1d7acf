#include "fake_window.h"

#include <utility>

#include "resource_ids.h"

namespace quillmere::test {

const std::vector<int> kLockedInOrder{
    ids::kAddFiles,           ids::kClear,          ids::kExit,
    ids::kConvertTables,      ids::kCleanNotes,     ids::kRemoveTextEnabled,
    ids::kRemoveBlockEnabled, ids::kSearchEnabled,  ids::kRemoveScripts,
    ids::kCaseSensitive,      ids::kRemovePictures, ids::kRemoveForms,
    ids::kRemoveSounds,       ids::kConvertLists,   ids::kRemoveFonts,
    ids::kPdaPreset,          ids::kRemoveText,     ids::kBlockBegin,
    ids::kBlockEnd,           ids::kSearchText,     ids::kReplaceText,
    ids::kFileList,
};

void FakeWindow::EnableControl(int id, bool enabled) {
  log.push_back((enabled ? "enable " : "disable ") + std::to_string(id));
}

void FakeWindow::SetCaption(int id, const std::string& caption) {
  log.push_back("caption " + std::to_string(id) + " " + caption);
}

void FakeWindow::ListDeleteAll() {
  list.clear();
  log.push_back("delete all");
}

void FakeWindow::SetProgress(int position) {
  progress.push_back(position);
  log.push_back("progress " + std::to_string(position));
}

void FakeWindow::ShowMessage(const std::string& text, const std::string& caption,
                             MessageStyle style, const std::string& details) {
  messages.push_back({text, caption, style, details});
  log.push_back("message " + text);
  if (onMessage) onMessage(messages.back());
}

FailureAnswer FakeWindow::ShowFileError(const std::string& text, const std::string& details) {
  ShowMessage(text, "", MessageStyle::kExclamation, details);
  return failureAnswer;
}

bool FakeWindow::Confirm(const std::string& question) {
  log.push_back("confirm " + question);
  return answer;
}

std::string FakeWindow::FormatTime(std::int64_t secondsSinceEpoch) {
  times.push_back(secondsSinceEpoch);
  return "TIME";
}

void FakeWindow::DrainEvents() {
  ++drains;
  log.push_back("drain " + std::to_string(drains));
  if (onDrain) onDrain(drains);
}

std::optional<std::vector<std::string>> FakeWindow::ChooseFiles() {
  log.push_back("dialog");
  return std::exchange(nextChoice, std::nullopt);
}

void FakeWindow::ExchangeData(WindowFields& fields, ExchangeDirection direction) {
  if (direction == ExchangeDirection::kRead) {
    fields = controls;
    log.push_back("read");
  } else {
    controls = fields;
    writes.push_back(fields);
    log.push_back("write " + fields.statusText + "|" + fields.percentText);
  }
}

std::vector<std::string> FakeWindow::Entries(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& entry : log) {
    if (entry.starts_with(prefix)) found.push_back(entry);
  }
  return found;
}

}  // namespace quillmere::test
