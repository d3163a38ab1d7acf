#include <array>

#include "dialog_template.h"
#include "resource_ids.h"

namespace quillmere {
namespace {

using namespace style;
using K = ControlKind;

constexpr std::array<ControlTemplate, 6> kAboutControls{{
    {kNoControlId, K::kIcon, "", 5, 15, 20, 20, 0},
    {kNoControlId, K::kStatic, "Quillmere Version 1.0.9", 35, 5, 119, 8,
     kWordWrap | kNoPrefix | kGroup},
    {kNoControlId, K::kStatic, "Free software, no warranty.", 35, 15, 119, 8, kWordWrap | kGroup},
    {ids::kAboutOk, K::kPushButton, "OK", 178, 7, 50, 14, kDefaultButton | kTabStop | kGroup},
    {kNoControlId, K::kStatic, "https://quillmere.example.org", 35, 35, 119, 8, kWordWrap | kGroup},
    {kNoControlId, K::kStatic, "For the latest version turn to:", 35, 25, 90, 8,
     kWordWrap | kGroup},
}};

constexpr DialogTemplate kAboutDialog{
    ids::kAboutTemplate,
    "Quillmere",
    235,
    61,
    "MS Sans Serif",
    8,
    kCaption | kSystemMenu | kModalFrame,
    kAboutControls,
};

}  // namespace

const DialogTemplate& AboutDialogTemplate() {
  return kAboutDialog;
}

}  // namespace quillmere
