#pragma once

#include <cstdint>
#include <span>

namespace quillmere {

// Window templates as plain data: every control with its id, kind, caption,
// place and size in dialog units, and its styles. Positions and sizes are
// given in units of the dialog font (a quarter of its average character width
// across, an eighth of its height down); the front end turns them into pixels.

enum class ControlKind {
  kListView,
  kPushButton,
  kEdit,
  kStatic,
  kCheckBox,
  kProgressBar,
  kIcon,  // the application icon
};

// Styles of a control or a window, one bit each.
namespace style {
inline constexpr std::uint32_t kTabStop = 1u << 0;
inline constexpr std::uint32_t kGroup = 1u << 1;
inline constexpr std::uint32_t kDefaultButton = 1u << 2;  // the dialog's default push button
inline constexpr std::uint32_t kAutoCheck = 1u << 3;      // a click toggles the tick
inline constexpr std::uint32_t kTextRight = 1u << 4;      // caption aligned to the right edge
inline constexpr std::uint32_t kWordWrap = 1u << 5;       // static text wraps onto further lines
inline constexpr std::uint32_t kNotify = 1u << 6;         // static text reports clicks
inline constexpr std::uint32_t kNoPrefix = 1u << 7;       // '&' is shown as it is
inline constexpr std::uint32_t kAutoHScroll = 1u << 8;    // edit text scrolls sideways
inline constexpr std::uint32_t kBorder = 1u << 9;
inline constexpr std::uint32_t kListMode = 1u << 10;    // list view: top to bottom, then columns
inline constexpr std::uint32_t kAlignLeft = 1u << 11;   // list view: items aligned to the left
inline constexpr std::uint32_t kSmooth = 1u << 12;      // progress bar drawn as one bar
inline constexpr std::uint32_t kClientEdge = 1u << 16;  // sunken edge
inline constexpr std::uint32_t kStaticEdge = 1u << 17;  // thin sunken edge
inline constexpr std::uint32_t kModalFrame = 1u << 18;  // raised double edge

// Window styles.
inline constexpr std::uint32_t kVisible = 1u << 20;
inline constexpr std::uint32_t kCaption = 1u << 21;
inline constexpr std::uint32_t kSystemMenu = 1u << 22;
inline constexpr std::uint32_t kMinimizeBox = 1u << 23;
inline constexpr std::uint32_t kAppWindow = 1u << 24;    // own taskbar button
inline constexpr std::uint32_t kAcceptFiles = 1u << 25;  // files may be dropped on it
}  // namespace style

// Id of a control that the code never addresses.
inline constexpr int kNoControlId = -1;

struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* caption;  // 8-bit text; for kIcon unused
  int x;
  int y;
  int width;
  int height;
  std::uint32_t styles;
};

struct DialogTemplate {
  int id;
  const char* caption;
  int width;
  int height;
  const char* fontName;  // the font the units were laid out in
  int fontPoints;
  std::uint32_t styles;
  // In template order, which is also creation and tab order.
  std::span<const ControlTemplate> controls;
};

const DialogTemplate& MainDialogTemplate();   // template 102
const DialogTemplate& AboutDialogTemplate();  // template 100

// The template with this id, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace quillmere
