#include "system_command.h"

#include "resource_ids.h"

namespace quillmere {

SystemCommandAction DecideSystemCommand(unsigned command, bool running) {
  if (running && command != kScMinimize && command != kScRestore) {
    return SystemCommandAction::kIgnore;
  }
  if ((command & 0xFFF0u) == static_cast<unsigned>(ids::kIdmAbout)) {
    return SystemCommandAction::kShowAbout;
  }
  return SystemCommandAction::kDefault;
}

}  // namespace quillmere
