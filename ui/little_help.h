#pragma once

#include <array>
#include <string>

namespace quillmere {

class PlatformServices;

struct HelpBox {
  std::string caption;
  std::string text;
};

// The two help boxes behind "A little help", in the order they are shown.
std::array<HelpBox, 2> LittleHelpBoxes();

// Shows them one after the other, each a plain OK box owned by the window.
void ShowLittleHelp(PlatformServices& platform);

}  // namespace quillmere
