#pragma once

#include <QIcon>

namespace quillmere {

// The application icon (resource 128) with its 16 x 16 and 32 x 32 images.
QIcon AppIcon();

}  // namespace quillmere
