#include <algorithm>
#include <array>
#include <vector>

#include "cleaning_groups.h"
#include "dialog_template.h"
#include "resource_ids.h"
#include "texts.h"

namespace quillmere {
namespace {

using namespace style;
using K = ControlKind;

constexpr std::uint32_t kCheck = kAutoCheck | kTabStop;
constexpr std::uint32_t kEditField = kAutoHScroll | kBorder | kTabStop | kStaticEdge;
constexpr std::uint32_t kLabelRight = kTextRight | kWordWrap | kGroup;
constexpr std::uint32_t kLabelLeft = kWordWrap | kGroup;

// Every control but the groups' check boxes, which their table places, in
// template order.
constexpr std::array<ControlTemplate, 19> kOtherControls{{
    {ids::kFileList, K::kListView, texts::kFileListName, 110, 10, 200, 55,
     kListMode | kAlignLeft | kTabStop | kClientEdge | kModalFrame},
    {ids::kAddFiles, K::kPushButton, texts::kAddFiles, 10, 10, 60, 15,
     kDefaultButton | kTabStop | kClientEdge},
    {ids::kClear, K::kPushButton, texts::kClear, 75, 10, 30, 15, kTabStop | kClientEdge},
    {ids::kRemoveText, K::kEdit, "", 185, 70, 125, 12, kEditField | kClientEdge},
    {ids::kBlockBegin, K::kEdit, "", 185, 90, 125, 12, kEditField},
    {ids::kBlockEnd, K::kEdit, "", 185, 105, 125, 12, kEditField},
    {ids::kSearchText, K::kEdit, "", 185, 125, 125, 12, kEditField},
    {ids::kReplaceText, K::kEdit, "", 185, 140, 125, 12, kEditField},
    {ids::kStart, K::kPushButton, texts::kStart, 190, 170, 50, 15, kTabStop | kClientEdge},
    {ids::kExit, K::kPushButton, texts::kExit, 250, 170, 50, 14, kTabStop | kClientEdge},
    {ids::kPercentLabel, K::kStatic, texts::kTemplatePercent, 5, 173, 20, 8, 0},
    {ids::kBlockBeginLabel, K::kStatic, texts::kBlockBeginLabel, 125, 93, 55, 10, kLabelRight},
    {ids::kStatusLine, K::kStatic, texts::kTemplateStatus, 5, 190, 305, 20,
     kLabelLeft | kStaticEdge},
    {ids::kReplaceLabel, K::kStatic, texts::kReplaceLabel, 150, 140, 30, 10, kLabelRight},
    {ids::kProgressBar, K::kProgressBar, texts::kProgressName, 25, 172, 160, 10, kSmooth},
    {ids::kBlockEndLabel, K::kStatic, texts::kBlockEndLabel, 145, 106, 35, 10, kLabelRight},
    {ids::kRemoveHeading, K::kStatic, texts::kRemoveHeading, 10, 45, 35, 10, kLabelLeft},
    {ids::kAboutLabel, K::kStatic, texts::kAboutLabel, 270, 1, 28, 8, kLabelLeft | kNotify},
    {ids::kHelpLabel, K::kStatic, texts::kHelpLabel, 210, 1, 35, 8, kLabelLeft | kNotify},
}};

// The other controls with each group's check box put in its place.
std::vector<ControlTemplate> MainControls() {
  std::vector<ControlTemplate> controls(kOtherControls.begin(), kOtherControls.end());
  std::vector<const CleaningGroup*> groups;
  for (const CleaningGroup& group : CleaningGroups()) groups.push_back(&group);
  std::sort(groups.begin(), groups.end(), [](const auto* a, const auto* b) {
    return a->place.templateIndex < b->place.templateIndex;
  });
  for (const CleaningGroup* group : groups) {
    const CheckBoxPlace& place = group->place;
    const auto at =
        controls.begin() + std::min<std::ptrdiff_t>(place.templateIndex, std::ssize(controls));
    controls.insert(at, ControlTemplate{group->controlId, K::kCheckBox, group->caption, place.x,
                                        place.y, place.width, place.height,
                                        kCheck | (place.textRight ? kTextRight : 0u)});
  }
  return controls;
}

DialogTemplate MakeMainDialog() {
  static const std::vector<ControlTemplate> controls = MainControls();
  return {ids::kMainTemplate,
          texts::kProgramName,
          317,
          214,
          "MS Sans Serif",
          8,
          kVisible | kCaption | kSystemMenu | kMinimizeBox | kModalFrame | kAppWindow |
              kClientEdge | kAcceptFiles,
          controls};
}

}  // namespace

const DialogTemplate& MainDialogTemplate() {
  static const DialogTemplate dialog = MakeMainDialog();
  return dialog;
}

const DialogTemplate* FindDialogTemplate(int id) {
  if (id == ids::kMainTemplate) return &MainDialogTemplate();
  if (id == ids::kAboutTemplate) return &AboutDialogTemplate();
  return nullptr;
}

}  // namespace quillmere
