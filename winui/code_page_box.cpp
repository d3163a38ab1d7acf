#include "code_page_box.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "code_page.h"
#include "code_page_setting.h"
#include "string_table.h"
#include "texts.h"
#include "win_text.h"

namespace quillmere {
namespace {

// Radio button ids start above the common buttons' ids.
constexpr int kFirstChoice = 100;

std::wstring Shown(const std::string& name) {
  if (!name.empty()) return ShownWide(name);
  return ShownWide(FormatPlaces(texts::kCodePageDefault, {SystemLegacyCodePage()}));
}

}  // namespace

std::optional<std::string> ShowCodePageBox(HWND owner, const std::string& current) {
  const std::vector<std::string> offered = OfferedCodePages();
  std::vector<std::wstring> labels;
  std::vector<TASKDIALOG_BUTTON> choices;
  for (const std::string& name : offered) labels.push_back(Shown(name));
  for (std::size_t i = 0; i < labels.size(); ++i) {
    choices.push_back({kFirstChoice + static_cast<int>(i), labels[i].c_str()});
  }
  const auto at = std::find(offered.begin(), offered.end(), current);
  const std::wstring title = ShownWide(texts::kCodePageTitle);
  const std::wstring label = ShownWide(texts::kCodePageLabel);
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = owner;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
  config.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
  config.pszWindowTitle = title.c_str();
  config.pszContent = label.c_str();
  config.cRadioButtons = static_cast<UINT>(choices.size());
  config.pRadioButtons = choices.data();
  config.nDefaultRadioButton =
      kFirstChoice + static_cast<int>(at == offered.end() ? 0 : at - offered.begin());
  config.nDefaultButton = IDOK;
  int pressed = IDCANCEL;
  int chosen = config.nDefaultRadioButton;
  if (FAILED(TaskDialogIndirect(&config, &pressed, &chosen, nullptr)) || pressed != IDOK) {
    return std::nullopt;
  }
  const auto index = static_cast<std::size_t>(chosen - kFirstChoice);
  return index < offered.size() ? std::optional(offered[index]) : std::nullopt;
}

}  // namespace quillmere
