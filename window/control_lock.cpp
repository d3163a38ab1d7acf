#include "control_lock.h"

#include <algorithm>

#include "cleaning_groups.h"
#include "resource_ids.h"
#include "texts.h"

namespace quillmere {
namespace {

// The labels of the option groups, enabled last.
constexpr int kLabels[] = {ids::kRemoveHeading, ids::kBlockBeginLabel, ids::kBlockEndLabel,
                           ids::kReplaceLabel};

void EnableAll(WindowServices& window, const auto& controls, bool enabled) {
  for (const int id : controls) window.EnableControl(id, enabled);
}

}  // namespace

std::vector<int> LockedControls() {
  std::vector<int> boxes;
  std::vector<int> fields;
  for (const CleaningGroup& group : CleaningGroups()) {
    boxes.push_back(group.controlId);
    for (int i = 0; i < group.textCount; ++i) fields.push_back(group.textControlIds[i]);
  }
  std::sort(boxes.begin(), boxes.end());
  std::sort(fields.begin(), fields.end());
  std::vector<int> locked{ids::kAddFiles, ids::kClear, ids::kExit};
  locked.insert(locked.end(), boxes.begin(), boxes.end());
  locked.insert(locked.end(), fields.begin(), fields.end());
  locked.push_back(ids::kFileList);
  return locked;
}

void LockControls(WindowServices& window, bool alsoStart) {
  EnableAll(window, LockedControls(), false);
  if (alsoStart) window.EnableControl(ids::kStart, false);
  EnableAll(window, kLabels, false);
}

void RestoreControls(WindowServices& window) {
  EnableAll(window, LockedControls(), true);
  window.SetCaption(ids::kStart, window.Translate(texts::kStart));
  window.EnableControl(ids::kStart, true);
  EnableAll(window, kLabels, true);
}

}  // namespace quillmere
