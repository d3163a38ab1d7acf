#include "resource_script.h"

#include <stdexcept>
#include <vector>

#include "resource_ids.h"
#include "string_table.h"

namespace quillmere {
namespace {

constexpr const char* kShellDialogFont = "MS Shell Dlg 2";

struct StyleName {
  std::uint32_t bit;
  const char* name;
};

// A quoted resource-script string: quotes doubled, backslashes escaped.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E) {
      throw std::invalid_argument("not plain ASCII: \"" + text + "\"");
    }
    if (c == '"') quoted += '"';
    if (c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The names of the bits set in `styles`, each taken from `names`; a set bit
// with no name there is a template this script cannot express.
std::string Names(std::uint32_t styles, std::initializer_list<StyleName> names,
                  std::vector<std::string> always, const std::string& what) {
  for (const StyleName& name : names) {
    if ((styles & name.bit) != 0) {
      always.push_back(name.name);
      styles &= ~name.bit;
    }
  }
  if (styles != 0) {
    throw std::invalid_argument(what + ": style bits " + std::to_string(styles) + " not taken");
  }
  if (always.empty()) return "0";
  std::string joined;
  for (const std::string& name : always) joined += (joined.empty() ? "" : " | ") + name;
  return joined;
}

constexpr StyleName kCommon[] = {
    {style::kTabStop, "WS_TABSTOP"}, {style::kGroup, "WS_GROUP"}, {style::kBorder, "WS_BORDER"}};
constexpr StyleName kExtended[] = {{style::kClientEdge, "WS_EX_CLIENTEDGE"},
                                   {style::kStaticEdge, "WS_EX_STATICEDGE"},
                                   {style::kModalFrame, "WS_EX_DLGMODALFRAME"}};
constexpr std::uint32_t kExtendedBits =
    style::kClientEdge | style::kStaticEdge | style::kModalFrame;

// A kind of control: its window class, the styles it always has, and the
// template bits it takes, each with its style's name (none where the bit
// only chose among the base styles).
struct ClassStyles {
  const char* windowClass;
  std::vector<std::string> base;
  std::vector<StyleName> own;
};

ClassStyles StylesOf(const ControlTemplate& control) {
  using namespace style;
  switch (control.kind) {
    case ControlKind::kListView:
      return {"SysListView32", {}, {{kListMode, "LVS_LIST"}, {kAlignLeft, "LVS_ALIGNLEFT"}}};
    case ControlKind::kPushButton:
      return {"Button",
              {(control.styles & kDefaultButton) != 0 ? "BS_DEFPUSHBUTTON" : "BS_PUSHBUTTON"},
              {{kDefaultButton, nullptr}}};
    case ControlKind::kCheckBox:
      return {"Button",
              {(control.styles & kAutoCheck) != 0 ? "BS_AUTOCHECKBOX" : "BS_CHECKBOX"},
              {{kAutoCheck, nullptr}, {kTextRight, "BS_RIGHT"}}};
    case ControlKind::kEdit:
      return {"Edit", {"ES_LEFT"}, {{kAutoHScroll, "ES_AUTOHSCROLL"}}};
    case ControlKind::kStatic: {
      // SS_LEFT wraps its words; SS_RIGHT does too.
      const bool right = (control.styles & kTextRight) != 0;
      const bool wraps = (control.styles & kWordWrap) != 0;
      return {"Static",
              {right   ? "SS_RIGHT"
               : wraps ? "SS_LEFT"
                       : "SS_LEFTNOWORDWRAP"},
              {{kTextRight, nullptr},
               {kWordWrap, nullptr},
               {kNotify, "SS_NOTIFY"},
               {kNoPrefix, "SS_NOPREFIX"}}};
    }
    case ControlKind::kProgressBar:
      return {"msctls_progress32", {}, {{kSmooth, "PBS_SMOOTH"}}};
    case ControlKind::kIcon:
      return {"Static", {"SS_ICON"}, {}};
  }
  throw std::invalid_argument("unknown kind of control");
}

std::string ControlLine(const ControlTemplate& control) {
  const std::string what = "control " + std::to_string(control.id);
  const ClassStyles styles = StylesOf(control);
  std::uint32_t own = control.styles & ~kExtendedBits;
  std::vector<std::string> names = styles.base;
  for (const StyleName& name : styles.own) {
    if ((own & name.bit) == 0) continue;
    if (name.name != nullptr) names.push_back(name.name);
    own &= ~name.bit;
  }
  names.insert(names.begin(), {"WS_CHILD", "WS_VISIBLE"});
  const std::string windowStyles = Names(own, {kCommon[0], kCommon[1], kCommon[2]}, names, what);
  const std::string extended =
      Names(control.styles & kExtendedBits, {kExtended[0], kExtended[1], kExtended[2]}, {}, what);
  // An icon control's text names the icon resource.
  const std::string text =
      control.kind == ControlKind::kIcon ? std::to_string(ids::kAppIcon) : Quoted(control.caption);
  return "    CONTROL " + text + ", " + std::to_string(control.id) + ", " +
         Quoted(styles.windowClass) + ", " + windowStyles + ", " + std::to_string(control.x) +
         ", " + std::to_string(control.y) + ", " + std::to_string(control.width) + ", " +
         std::to_string(control.height) + ", " + extended + "\n";
}

}  // namespace

std::string DialogScript(const DialogTemplate& dialog) {
  using namespace style;
  const std::string what = "template " + std::to_string(dialog.id);
  const std::uint32_t windowBits = kVisible | kCaption | kSystemMenu | kMinimizeBox | kModalFrame;
  const std::string windowStyles = Names(dialog.styles & windowBits,
                                         {{kVisible, "WS_VISIBLE"},
                                          {kCaption, "WS_CAPTION"},
                                          {kSystemMenu, "WS_SYSMENU"},
                                          {kMinimizeBox, "WS_MINIMIZEBOX"},
                                          {kModalFrame, "DS_MODALFRAME"}},
                                         {"WS_POPUP", "DS_SHELLFONT"}, what);
  const std::string extended = Names(dialog.styles & ~windowBits,
                                     {{kAppWindow, "WS_EX_APPWINDOW"},
                                      {kClientEdge, "WS_EX_CLIENTEDGE"},
                                      {kAcceptFiles, "WS_EX_ACCEPTFILES"}},
                                     {}, what);
  std::string script = std::to_string(dialog.id) + " DIALOGEX 0, 0, " +
                       std::to_string(dialog.width) + ", " + std::to_string(dialog.height) + "\n";
  script += "STYLE " + windowStyles + "\n";
  if (extended != "0") script += "EXSTYLE " + extended + "\n";
  script += "CAPTION " + Quoted(dialog.caption) + "\n";
  // The shell dialog font at the template's size: the system maps it to its
  // scalable interface font, so text grows with the dialog at every DPI,
  // which the template's bitmap font does not.
  script += "FONT " + std::to_string(dialog.fontPoints) + ", " + Quoted(kShellDialogFont) +
            ", 0, 0, 0x0\nBEGIN\n";
  for (const ControlTemplate& control : dialog.controls) script += ControlLine(control);
  return script + "END\n";
}

std::string StringTableScript() {
  std::string script = "STRINGTABLE\nBEGIN\n";
  for (const int id : {ids::kStrAboutMenuItem, ids::kStrDropProgress, ids::kStrSelectedFiles,
                       ids::kStrRunSummary}) {
    script += "    " + std::to_string(id) + ", " + Quoted(LoadStringResource(id)) + "\n";
  }
  return script + "END\n";
}

}  // namespace quillmere
