#pragma once

#include <QString>

namespace quillmere {

// A text of the program as the user reads it: its translation where one is
// installed, else the text itself. Every text is translated in one context.
QString Tr(const char* text);

}  // namespace quillmere
