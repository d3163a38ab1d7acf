// Text for a Windows console: UTF-8 handed over as UTF-16, whole characters
// only, whatever the pieces it is written in.
#include "win_console.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace quillmere {
namespace {

TEST(WinConsoleTest, AWrittenPieceEndsBeforeACharacterItCutsInTwo) {
  const struct {
    std::string text;
    std::size_t whole;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {"a\xce", 1},              // the lead of a 2-byte character
      {"a\xce\xb1", 3},          // alpha, whole
      {"\xe6\x97", 0},           // 2 of 3 bytes
      {"\xe6\x97\xa5", 3},       // a whole CJK character
      {"x\xf0\x9f\x98", 1},      // 3 of 4 bytes
      {"x\xf0\x9f\x98\x80", 5},  // whole
      {"\x80\x80", 2},           // no lead: shown as it is, not held back
      {"a\xff", 2},              // never part of a character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(on_windows::WholeUtf8Prefix(c.text), c.whole) << c.text;
  }
}

TEST(WinConsoleTest, AGreekNameWrittenByteByByteArrivesWhole) {
  std::wstring shown;
  {
    on_windows::Utf16Buffer buffer([&](std::wstring_view text) { shown += text; });
    std::ostream out(&buffer);
    out << std::unitbuf;
    for (const char byte : std::string("File open error: \xce\xba\xce\xb1\xce\xbb\xce\xb7.htm\n")) {
      out << byte;
    }
  }
  EXPECT_EQ(shown, L"File open error: \u03ba\u03b1\u03bb\u03b7.htm\n");
}

}  // namespace
}  // namespace quillmere
