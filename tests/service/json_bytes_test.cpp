// Bytes in JSON: which byte strings are UTF-8, and base64 both ways.
#include "json_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

TEST(JsonBytes, Utf8IsCheckedAsTheStandardDefinesIt) {
  const std::pair<std::string, bool> cases[] = {
      {"", true},
      {"plain ascii", true},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true},
      {"caf\xE9", false},                      // Latin-1
      {"\xC3", false},                         // cut short
      {"\xC0\xAF", false},                     // overlong '/'
      {"\xE0\x80\xAF", false},                 // overlong, three bytes
      {"\xED\xA0\x80", false},                 // a surrogate
      {"\xF4\x90\x80\x80", false},             // above U+10FFFF
      {"\xF0\x8F\xBF\xBF", false},             // overlong, four bytes
      {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", true},  // the largest of three and four bytes
      {"\x80", false},                         // a lone continuation byte
  };
  for (const auto& [bytes, valid] : cases) EXPECT_EQ(IsUtf8(bytes), valid) << bytes;
}

TEST(JsonBytes, Base64BothWays) {
  const std::pair<std::string, std::string> cases[] = {{"", ""},
                                                       {"f", "Zg=="},
                                                       {"fo", "Zm8="},
                                                       {"foo", "Zm9v"},
                                                       {std::string("\xFF\xFE\0", 3), "//4A"}};
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(ToBase64(bytes), text);
    EXPECT_EQ(FromBase64(text), bytes);
  }
  for (const char* bad : {"Zg=", "Zg", "Z===", "Zg=a", "Zm9v!A==", "=Zg="}) {
    EXPECT_EQ(FromBase64(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace quillmere
