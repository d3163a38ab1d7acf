#pragma once

namespace quillmere {

inline constexpr unsigned kScMinimize = 0xF020;
inline constexpr unsigned kScRestore = 0xF120;

enum class SystemCommandAction {
  kIgnore,     // nothing at all happens
  kShowAbout,  // the system menu's About item
  kDefault,    // the window system carries the command out
};

// What the main window does with a system command (the value as delivered,
// low four bits included): during a run only minimise and restore, compared as
// whole values, go through; otherwise the About item opens the About box and
// everything else is the window system's.
SystemCommandAction DecideSystemCommand(unsigned command, bool running);

}  // namespace quillmere
