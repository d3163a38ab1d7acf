#include "little_help.h"

#include <utility>

#include "platform_services.h"

namespace quillmere {
namespace {

const char* const kIntroduction =
    "With Quillmere you can now easily convert HTML or any other files\n"
    "and completely remove or change unnecessary tags or other text - any required.\n"
    "You can open files with button \"Add files\" or drag and drop files on main window.\n"
    "A click button \"START\" will convert files according check options.\n"
    "\n"
    "A program do not creates backup of selected files !\n"
    "\n";

// Name and explanation of each function, in the order the box lists them.
constexpr std::pair<const char*, const char*> kFunctions[] = {
    {"Convert tables to text", "Convert tables to text - row by row. "},
    {"Scripts and applets", "Remove all scripts and applets."},
    {"Forms", "Remove forms including all texts in forms."},
    {"Pics and videos", "Remove  pictures and videos from files - not from disk !"},
    {"Sounds on backround", "Remove sounds on background."},
    {"Notes and unnecessary chars", "Remove double space, returns, tabs and comments."},
    {"Lists and formats", "Convert lists to text and remove their formats."},
    {"Type and size of fonts", "Remove informations about fonts. Not about styles !"},
    {"Set for PDA", "Setting recommended for HTML files, that will transfer\n\t\tto PDA devices."},
    {"Remove text", "Search and remove entered text."},
    {"Remove block", "Remove whole block of text. This is useful for HTML tags !"},
    {"Search - replace", "Search and replace entered text."},
    {"Case sensitive", "Determine, whether functions search are case sensitive."},
};

std::string FunctionList() {
  std::string text = "\n";
  for (const auto& [name, explanation] : kFunctions) {
    text += '"';
    text += name;
    text += "\" - ";
    text += explanation;
    text += '\n';
  }
  return text;
}

}  // namespace

std::array<HelpBox, 2> LittleHelpBoxes() {
  return {{
      {"About :", kIntroduction},
      {"HTML FUNCTIONS:", FunctionList()},
  }};
}

void ShowLittleHelp(PlatformServices& platform) {
  for (const HelpBox& box : LittleHelpBoxes()) {
    platform.ShowMessage(box.text, box.caption, MessageStyle::kPlain, "");
  }
}

}  // namespace quillmere
