#pragma once

#include <array>
#include <functional>
#include <string>

namespace quillmere {

class WindowServices;

struct HelpBox {
  std::string caption;
  std::string text;
};

using Translator = std::function<std::string(const char*)>;

// The two help boxes behind "A little help", in the order they are shown,
// each part put through `translate`.
std::array<HelpBox, 2> LittleHelpBoxes(const Translator& translate);

// Shows them one after the other, each a plain OK box owned by the window.
void ShowLittleHelp(WindowServices& window);

}  // namespace quillmere
