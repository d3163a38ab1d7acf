#include <array>
#include <string>

#include "dialog_template.h"
#include "resource_ids.h"
#include "texts.h"

namespace quillmere {
namespace {

using namespace style;
using K = ControlKind;

// "Quillmere Version 1.0.9": the name and the version the build was made as.
const std::string& VersionLine() {
  static const std::string line =
      std::string(texts::kProgramName) + texts::kVersionWord + QUILLMERE_VERSION;
  return line;
}

std::array<ControlTemplate, 6> AboutControls() {
  return {{
      {kNoControlId, K::kIcon, "", 5, 15, 20, 20, 0},
      {kNoControlId, K::kStatic, VersionLine().c_str(), 35, 5, 119, 8,
       kWordWrap | kNoPrefix | kGroup},
      {kNoControlId, K::kStatic, texts::kAboutNotice, 35, 15, 119, 8, kWordWrap | kGroup},
      {ids::kAboutOk, K::kPushButton, texts::kOk, 178, 7, 50, 14,
       kDefaultButton | kTabStop | kGroup},
      {kNoControlId, K::kStatic, texts::kAboutAddress, 35, 35, 119, 8, kWordWrap | kGroup},
      {kNoControlId, K::kStatic, texts::kAboutLatestIntro, 35, 25, 90, 8, kWordWrap | kGroup},
  }};
}

}  // namespace

const DialogTemplate& AboutDialogTemplate() {
  static const std::array<ControlTemplate, 6> controls = AboutControls();
  static const DialogTemplate dialog{
      ids::kAboutTemplate,
      texts::kProgramName,
      235,
      61,
      "MS Sans Serif",
      8,
      style::kCaption | style::kSystemMenu | style::kModalFrame,
      controls,
  };
  return dialog;
}

}  // namespace quillmere
