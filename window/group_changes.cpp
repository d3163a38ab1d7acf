#include "group_changes.h"

#include "cleaning_groups.h"
#include "cleaning_pass.h"

namespace quillmere {

std::vector<GroupChange> CleanGroupByGroup(const std::string& text, const CleaningOptions& options,
                                           std::string& cleaned) {
  std::vector<GroupChange> changes;
  TextBuffer buffer{text, false};
  for (const CleaningGroup& group : CleaningGroups()) {
    const bool isStep = group.field != &CleaningOptions::pdaPreset &&
                        group.field != &CleaningOptions::caseSensitive;
    if (!isStep || !(options.*group.field)) continue;
    // The group alone, with the texts and the case mode the run has: the
    // pass applies groups one after the other, so this is the same text.
    CleaningOptions only;
    only.*group.field = true;
    only.caseSensitive = options.caseSensitive;
    for (int i = 0; i < group.textCount; ++i) only.*group.texts[i] = options.*group.texts[i];
    GroupChange change{group.caption, buffer.text.size(), 0, false};
    buffer.modified = false;
    CleanText(buffer, only);
    change.after = buffer.text.size();
    change.changed = buffer.modified;
    changes.push_back(change);
  }
  cleaned = std::move(buffer.text);
  return changes;
}

}  // namespace quillmere
