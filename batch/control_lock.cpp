#include "control_lock.h"

#include <array>

#include "resource_ids.h"

namespace quillmere {
namespace {

// The locked set up to and including the file list, in the order the controls
// are disabled and enabled again.
constexpr std::array kButtonsOptionsAndList{
    ids::kAddFiles,           ids::kClear,          ids::kExit,
    ids::kConvertTables,      ids::kCleanNotes,     ids::kRemoveTextEnabled,
    ids::kRemoveBlockEnabled, ids::kSearchEnabled,  ids::kRemoveScripts,
    ids::kCaseSensitive,      ids::kRemovePictures, ids::kRemoveForms,
    ids::kRemoveSounds,       ids::kConvertLists,   ids::kRemoveFonts,
    ids::kPdaPreset,          ids::kRemoveText,     ids::kBlockBegin,
    ids::kBlockEnd,           ids::kSearchText,     ids::kReplaceText,
    ids::kFileList,
};

// The rest of the locked set: the labels of the option groups.
constexpr std::array kLabels{ids::kRemoveHeading, ids::kBlockBeginLabel, ids::kBlockEndLabel,
                             ids::kReplaceLabel};

void EnableAll(PlatformServices& platform, const auto& controls, bool enabled) {
  for (const int id : controls) platform.EnableControl(id, enabled);
}

}  // namespace

void LockControls(PlatformServices& platform, bool alsoStart) {
  EnableAll(platform, kButtonsOptionsAndList, false);
  if (alsoStart) platform.EnableControl(ids::kStart, false);
  EnableAll(platform, kLabels, false);
}

void RestoreControls(PlatformServices& platform) {
  EnableAll(platform, kButtonsOptionsAndList, true);
  platform.SetCaption(ids::kStart, "START");
  platform.EnableControl(ids::kStart, true);
  EnableAll(platform, kLabels, true);
}

}  // namespace quillmere
