#include <array>

#include "dialog_template.h"
#include "resource_ids.h"

namespace quillmere {
namespace {

using namespace style;
using K = ControlKind;

constexpr std::uint32_t kCheck = kAutoCheck | kTabStop;
constexpr std::uint32_t kEditField = kAutoHScroll | kBorder | kTabStop | kStaticEdge;
constexpr std::uint32_t kLabelRight = kTextRight | kWordWrap | kGroup;
constexpr std::uint32_t kLabelLeft = kWordWrap | kGroup;

constexpr std::array<ControlTemplate, 32> kMainControls{{
    {ids::kFileList, K::kListView, "List1", 110, 10, 200, 55,
     kListMode | kAlignLeft | kTabStop | kClientEdge | kModalFrame},
    {ids::kAddFiles, K::kPushButton, "Add files", 10, 10, 60, 15,
     kDefaultButton | kTabStop | kClientEdge},
    {ids::kClear, K::kPushButton, "CLR", 75, 10, 30, 15, kTabStop | kClientEdge},
    {ids::kRemoveText, K::kEdit, "", 185, 70, 125, 12, kEditField | kClientEdge},
    {ids::kBlockBegin, K::kEdit, "", 185, 90, 125, 12, kEditField},
    {ids::kBlockEnd, K::kEdit, "", 185, 105, 125, 12, kEditField},
    {ids::kSearchText, K::kEdit, "", 185, 125, 125, 12, kEditField},
    {ids::kReplaceText, K::kEdit, "", 185, 140, 125, 12, kEditField},
    {ids::kStart, K::kPushButton, "START", 190, 170, 50, 15, kTabStop | kClientEdge},
    {ids::kExit, K::kPushButton, "Exit", 250, 170, 50, 14, kTabStop | kClientEdge},
    {ids::kPercentLabel, K::kStatic, "100 %", 5, 173, 20, 8, 0},
    {ids::kConvertTables, K::kCheckBox, "Convert tables to text", 10, 30, 83, 10, kCheck},
    {ids::kCleanNotes, K::kCheckBox, "Notes and unnecessary chars", 10, 95, 110, 10, kCheck},
    {ids::kRemoveTextEnabled, K::kCheckBox, "Remove text :", 115, 70, 60, 10, kCheck},
    {ids::kRemoveBlockEnabled, K::kCheckBox, "Remove block", 115, 83, 62, 10, kCheck},
    {ids::kBlockBeginLabel, K::kStatic, "begin text :", 125, 93, 55, 10, kLabelRight},
    {ids::kStatusLine, K::kStatic, "OK.", 5, 190, 305, 20, kLabelLeft | kStaticEdge},
    {ids::kSearchEnabled, K::kCheckBox, "Search :", 137, 125, 43, 10, kCheck | kTextRight},
    {ids::kReplaceLabel, K::kStatic, "replace :", 150, 140, 30, 10, kLabelRight},
    {ids::kProgressBar, K::kProgressBar, "Progress1", 25, 172, 160, 10, kSmooth},
    {ids::kRemoveScripts, K::kCheckBox, "Scripts and applets", 10, 55, 76, 10, kCheck},
    {ids::kCaseSensitive, K::kCheckBox, "Case sensitive", 185, 155, 95, 10, kCheck},
    {ids::kRemovePictures, K::kCheckBox, "Pics and videos", 10, 75, 66, 10, kCheck},
    {ids::kRemoveForms, K::kCheckBox, "Forms", 10, 65, 35, 10, kCheck},
    {ids::kRemoveSounds, K::kCheckBox, "Sounds on backround", 10, 85, 86, 10, kCheck},
    {ids::kBlockEndLabel, K::kStatic, "end text :", 145, 106, 35, 10, kLabelRight},
    {ids::kRemoveHeading, K::kStatic, "Remove :", 10, 45, 35, 10, kLabelLeft},
    {ids::kConvertLists, K::kCheckBox, "Lists and formats", 10, 105, 69, 10, kCheck},
    {ids::kRemoveFonts, K::kCheckBox, "Type and size of fonts", 10, 114, 85, 10, kCheck},
    {ids::kPdaPreset, K::kCheckBox, "Set for PDA", 10, 160, 53, 10, kCheck},
    {ids::kAboutLabel, K::kStatic, "About ...", 270, 1, 28, 8, kLabelLeft | kNotify},
    {ids::kHelpLabel, K::kStatic, "A little help", 210, 1, 35, 8, kLabelLeft | kNotify},
}};

constexpr DialogTemplate kMainDialog{
    ids::kMainTemplate,
    "Quillmere",
    317,
    214,
    "MS Sans Serif",
    8,
    kVisible | kCaption | kSystemMenu | kMinimizeBox | kModalFrame | kAppWindow | kClientEdge |
        kAcceptFiles,
    kMainControls,
};

}  // namespace

const DialogTemplate& MainDialogTemplate() {
  return kMainDialog;
}

const DialogTemplate* FindDialogTemplate(int id) {
  if (id == ids::kMainTemplate) return &MainDialogTemplate();
  if (id == ids::kAboutTemplate) return &AboutDialogTemplate();
  return nullptr;
}

}  // namespace quillmere
