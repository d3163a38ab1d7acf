#pragma once

#include "platform_services.h"

namespace quillmere {

// Disables the controls that could change the file list or the options while a
// run or a drop goes on; with `alsoStart` START is disabled too.
void LockControls(PlatformServices& platform, bool alsoStart);

// Enables them again, captions START "START" and enables it.
void RestoreControls(PlatformServices& platform);

}  // namespace quillmere
