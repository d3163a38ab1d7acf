#include "file_list.h"

#include <algorithm>
#include <climits>

#include "batch_run.h"
#include "control_lock.h"
#include "progress.h"
#include "resource_ids.h"
#include "string_table.h"

namespace quillmere {

FileList::FileList(PlatformServices& platform, WindowFields& fields, const BatchRun& run)
    : platform_(platform), fields_(fields), run_(run) {}

void FileList::AddPath(const std::string& path) {
  SyncListed();
  if (!listed_.insert(path).second) return;
  platform_.ListInsertAtTop(path);
}

void FileList::OnAddFiles() {
  if (run_.running()) return;
  platform_.ExchangeData(fields_, ExchangeDirection::kRead);
  const auto chosen = platform_.ChooseFiles();
  if (!chosen) return;
  for (const std::string& path : *chosen) AddPath(path);
  ReportSelected();
}

void FileList::OnClear() {
  if (run_.running()) return;
  platform_.ExchangeData(fields_, ExchangeDirection::kRead);
  platform_.ListDeleteAll();
  listed_.clear();
  fields_.statusText = "OK.";
  platform_.SetProgress(0);
  fields_.percentText = PercentText(0);
  platform_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

void FileList::OnDropFiles(const std::vector<std::string>& paths) {
  if (run_.running()) return;
  platform_.ExchangeData(fields_, ExchangeDirection::kRead);
  LockControls(platform_, true);

  const int count = static_cast<int>(std::min<std::size_t>(paths.size(), INT_MAX));
  const std::string dropProgress = LoadStringResource(ids::kStrDropProgress);
  for (int index = 0; index < count; ++index) {
    AddPath(paths[static_cast<std::size_t>(index)]);
    const int percent = ProgressPercent(index + 1, count);
    platform_.SetProgress(percent);
    fields_.percentText = PercentText(percent);
    fields_.statusText = FormatString(dropProgress, index);
    platform_.ExchangeData(fields_, ExchangeDirection::kWrite);
  }

  ReportSelected();
  RestoreControls(platform_);
}

void FileList::ReportSelected() {
  const int listed = platform_.ListCount();
  platform_.ListFitColumn();
  fields_.statusText = FormatString(LoadStringResource(ids::kStrSelectedFiles), listed);
  platform_.SetProgress(0);
  fields_.percentText = PercentText(0);
  platform_.ExchangeData(fields_, ExchangeDirection::kWrite);
}

void FileList::SyncListed() {
  const int count = platform_.ListCount();
  if (static_cast<std::size_t>(count) == listed_.size()) return;
  listed_.clear();
  for (int index = 0; index < count; ++index) listed_.insert(platform_.ListItem(index));
}

}  // namespace quillmere
