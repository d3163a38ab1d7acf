#pragma once
// The file primitives of the system the program runs on, and where it keeps
// its own state there.
#include <memory>
#include <string>

#include "file_system.h"

namespace quillmere {

// The primitives of the system the program runs on, keeping the recovery
// copies that cannot go beside their file in `recoveryFolder`.
std::unique_ptr<FileSystem> MakeSystemFileSystem(const std::string& recoveryFolder);

// The program's private folder in the state of the user running it:
// quillmere in $XDG_STATE_HOME (or ~/.local/state); %LOCALAPPDATA% on
// Windows. Empty when there is none. The recovery copies that cannot go
// beside their file go to its folder "recovery", the undo journals to "runs".
std::string DefaultStateFolder();
std::string DefaultRecoveryFolder();

}  // namespace quillmere
