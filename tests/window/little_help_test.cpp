#include "little_help.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_window.h"

namespace quillmere {
namespace {

std::string Untranslated(const char* text) {
  return text;
}

TEST(LittleHelp, FirstBoxIntroducesTheProgram) {
  const HelpBox box = LittleHelpBoxes(Untranslated)[0];
  EXPECT_EQ(box.caption, "About :");
  EXPECT_EQ(box.text,
            "With Quillmere you can now easily convert HTML or any other files\n"
            "and completely remove or change unnecessary tags or other text - any required.\n"
            "You can open files with button \"Add files\" or drag and drop files on main "
            "window.\n"
            "A click button \"START\" will convert files according check options.\n\n"
            "A run can be undone: \"Undo last run\" in the file list's menu (Ctrl+Shift+Z)\n"
            "puts back the files it changed.\n\n");
}

TEST(LittleHelp, SecondBoxListsTheFunctionsOneALine) {
  const HelpBox box = LittleHelpBoxes(Untranslated)[1];
  EXPECT_EQ(box.caption, "HTML FUNCTIONS:");
  EXPECT_EQ(box.text,
            "\n"
            "\"Convert tables to text\" - Convert tables to text - row by row. \n"
            "\"Scripts and applets\" - Remove all scripts and applets.\n"
            "\"Forms\" - Remove forms including all texts in forms.\n"
            "\"Pics and videos\" - Remove  pictures and videos from files - not from disk !\n"
            "\"Sounds on backround\" - Remove sounds on background.\n"
            "\"Notes and unnecessary chars\" - Remove double space, returns, tabs and comments.\n"
            "\"Lists and formats\" - Convert lists to text and remove their formats.\n"
            "\"Type and size of fonts\" - Remove informations about fonts. Not about styles !\n"
            "\"Set for PDA\" - Setting recommended for HTML files, that will transfer\n"
            "\t\tto PDA devices.\n"
            "\"Remove text\" - Search and remove entered text.\n"
            "\"Remove block\" - Remove whole block of text. This is useful for HTML tags !\n"
            "\"Search - replace\" - Search and replace entered text.\n"
            "\"Case sensitive\" - Determine, whether functions search are case sensitive.\n");
}

TEST(LittleHelp, ShowsPlainBoxesInOrderAndNothingElse) {
  test::FakeWindow window;
  ShowLittleHelp(window);
  ASSERT_EQ(window.messages.size(), 2u);
  EXPECT_EQ(window.messages[0].caption, "About :");
  EXPECT_EQ(window.messages[1].caption, "HTML FUNCTIONS:");
  for (const auto& message : window.messages) {
    EXPECT_EQ(message.style, MessageStyle::kPlain);
    EXPECT_EQ(message.details, "");
  }
  EXPECT_EQ(window.log.size(), 2u);
}

}  // namespace
}  // namespace quillmere
