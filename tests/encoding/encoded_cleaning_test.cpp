#include "encoded_cleaning.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

using namespace std::string_literals;

CleaningOptions Fonts() {
  CleaningOptions options;
  options.removeFonts = true;
  return options;
}

CleaningOptions Replace(std::string search, std::string replacement, std::string legacy = {}) {
  CleaningOptions options;
  options.searchEnabled = true;
  options.searchText = std::move(search);
  options.replaceText = std::move(replacement);
  options.encoding.legacy = std::move(legacy);
  return options;
}

CleaningOptions Forced(CleaningOptions options, std::string encoding) {
  options.encoding.forced = std::move(encoding);
  return options;
}

// ASCII as UTF-16 units, in either byte order.
std::string AsciiUnits(const std::string& ascii, bool bigEndian) {
  std::string bytes;
  for (char c : ascii) bytes += bigEndian ? "\0"s + c : c + "\0"s;
  return bytes;
}

struct EncodingCase {
  const char* name;
  std::string bytes;
  CleaningOptions options;
  std::string expected;
  const char* encoding;
  bool textLeftOut = false;
};

class EncodedCleaningTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(EncodedCleaningTest, CleansInTheFilesOwnEncodingAndWritesItBack) {
  const EncodingCase& c = GetParam();
  const EncodedCleaning cleaned = CleanEncoded(c.bytes, c.options);
  ASSERT_FALSE(cleaned.error) << *cleaned.error;
  EXPECT_EQ(cleaned.bytes, c.expected);
  EXPECT_EQ(cleaned.encoding.Name(), c.encoding);
  EXPECT_EQ(cleaned.modified, c.bytes != c.expected);
  EXPECT_EQ(cleaned.textLeftOut, c.textLeftOut);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, EncodedCleaningTest,
    ::testing::Values(
        EncodingCase{"Utf8KeepsItsMark", "\xEF\xBB\xBF<font>x</font>\r\n", Fonts(),
                     "\xEF\xBB\xBFx\r\n", "UTF-8 BOM"},
        EncodingCase{"Utf8WithoutMark", "<font>\xC3\xA9</font>", Fonts(), "\xC3\xA9", "UTF-8"},
        EncodingCase{"Utf16Le", "\xFF\xFE<\0f\0o\0n\0t\0>\0x\0\r\0\n\0"s, Fonts(),
                     "\xFF\xFEx\0\r\0\n\0"s, "UTF-16LE BOM"},
        EncodingCase{"Utf16Be", "\xFE\xFF\0<\0f\0o\0n\0t\0>\0x\0\r\0\n"s, Fonts(),
                     "\xFE\xFF\0x\0\r\0\n"s, "UTF-16BE BOM"},
        EncodingCase{"Utf16BeyondTheBasicPlane", "\xFF\xFE=\xD8\0\xDE\x61\0"s, Replace("a", "b"),
                     "\xFF\xFE=\xD8\0\xDE\x62\0"s, "UTF-16LE BOM"},
        EncodingCase{"ForcedUtf16WithoutMark", "a\0b\0"s, Forced(Replace("a", "c"), "UTF-16LE"),
                     "c\0b\0"s, "UTF-16LE"},
        EncodingCase{"LegacyGetsTheRuleInItsCodePage", "caf\xE9 \xA0", Replace("\xC3\xA9", "e"),
                     "cafe \xA0", "windows-1252"},
        EncodingCase{"LegacyCodePageChosen", "\xE1\xEB", Replace("\xCE\xB1", "a", "ISO-8859-7"),
                     "a\xEB", "ISO-8859-7"},
        EncodingCase{"ForcedLegacyOnValidUtf8", "\xC3\xA9",
                     Forced(Replace("\xC3\xA9", "e"), "windows-1252"), "\xC3\xA9", "windows-1252"},
        EncodingCase{"LegacyLacksTheRuleText", "caf\xE9", Replace("\xCE\xA9", "o"), "caf\xE9",
                     "windows-1252", true}),
    [](const auto& param) { return std::string(param.param.name); });

// The final trim changes the text without counting as an edit: in every
// encoding the text comes back trimmed, as UTF-8 does.
TEST(EncodedCleaning, ATrimWithoutAnEditComesBackInEveryEncoding) {
  CleaningOptions notes;
  notes.cleanNotes = true;
  const std::pair<std::string, std::string> cases[] = {
      {"\xC3\xA9 ", "\xC3\xA9"},
      {"\xFF\xFE\xE9\0 \0"s, "\xFF\xFE\xE9\0"s},
      {"\xFE\xFF\0\xE9\0 "s, "\xFE\xFF\0\xE9"s},
      {"\xE9 ", "\xE9"},
  };
  for (const auto& [bytes, trimmed] : cases) {
    const EncodedCleaning cleaned = CleanEncoded(bytes, notes);
    EXPECT_FALSE(cleaned.modified) << cleaned.encoding.Name();
    EXPECT_EQ(cleaned.bytes, trimmed) << cleaned.encoding.Name();
  }
}

struct RefusalCase {
  const char* name;
  std::string bytes;
  std::string encoding;
  FileError expected;
};

class EncodingRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(EncodingRefusalTest, IsRefusedWithItsReason) {
  const RefusalCase& c = GetParam();
  CleaningOptions options = Fonts();
  options.encoding.forced = c.encoding;
  const EncodedCleaning cleaned = CleanEncoded(c.bytes, options);
  ASSERT_TRUE(cleaned.error);
  EXPECT_EQ(*cleaned.error, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, EncodingRefusalTest,
    ::testing::Values(
        RefusalCase{
            "OddLength",
            "\xFF\xFEx\0y"s,
            "",
            {FileProblem::kBadEncoding, "UTF-16LE BOM with an odd number of bytes for UTF-16"}},
        RefusalCase{
            "LoneHighSurrogate",
            "\xFF\xFEx\0\x3D\xD8y\0"s,
            "",
            {FileProblem::kBadEncoding, "UTF-16LE BOM with an unpaired surrogate at byte 2"}},
        RefusalCase{
            "LoneLowSurrogate",
            "\xFE\xFF\xDC\0"s,
            "",
            {FileProblem::kBadEncoding, "UTF-16BE BOM with an unpaired surrogate at byte 0"}},
        RefusalCase{"NulCharacter",
                    "\xFF\xFEx\0\0\0"s,
                    "",
                    {FileProblem::kBadEncoding, "UTF-16LE BOM with a NUL character at byte 2"}},
        RefusalCase{
            "NulInALongAsciiRun",
            "\xFF\xFE"s + AsciiUnits(std::string(9, 'a') + '\0' + std::string(9, 'b'), false),
            "",
            {FileProblem::kBadEncoding, "UTF-16LE BOM with a NUL character at byte 18"}},
        RefusalCase{
            "HighSurrogateEndingABlock",
            "\xFE\xFF"s + AsciiUnits(std::string(32767, 'a'), true) + "\xD8\x3D\0a"s,
            "",
            {FileProblem::kBadEncoding, "UTF-16BE BOM with an unpaired surrogate at byte 65534"}},
        RefusalCase{"NulInEightBitText", "x\0y"s, "", {FileProblem::kHoldsNulByte, ""}},
        RefusalCase{"NulAfterUtf8Mark", "\xEF\xBB\xBFx\0"s, "", {FileProblem::kHoldsNulByte, ""}},
        RefusalCase{"NulInLegacyText", "\xE9\0"s, "", {FileProblem::kHoldsNulByte, ""}},
        RefusalCase{
            "UnknownCodePage",
            "x",
            "no-such-page",
            {FileProblem::kBadEncoding, "no single-byte code page no-such-page on this system"}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(EncodedCleaning, Utf16TextThatTheCleaningBrokeIsNotWrittenBack) {
  // Replacing the first byte of "é" (case-sensitive: byte by byte) leaves a
  // stray continuation byte.
  CleaningOptions options = Replace("\xC3", "x");
  options.caseSensitive = true;
  const EncodedCleaning cleaned = CleanEncoded("\xFF\xFE\xE9\0"s, options);
  ASSERT_TRUE(cleaned.error);
  EXPECT_EQ(cleaned.error->problem, FileProblem::kBadEncoding);
}

}  // namespace
}  // namespace quillmere
