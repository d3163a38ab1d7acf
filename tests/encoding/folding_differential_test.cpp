// Letter case beyond ASCII in every encoding: a file's bytes cleaned in their
// own encoding must equal the literal reference run on the decoded text and
// encoded back the same way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "code_page_text.h"
#include "encoded_cleaning.h"
#include "reference_engine.h"
#include "utf16_text.h"

namespace quillmere {
namespace {

int CaseCount() {
  const char* configured = std::getenv("QUILLMERE_DIFFERENTIAL_CASES");
  const int count = configured != nullptr ? std::atoi(configured) : 0;
  return count > 0 ? count : 3000;
}

struct Encoding {
  const char* name;                  // for --encoding
  const char* mark;                  // its byte order mark, written before the text
  std::vector<std::string> letters;  // what texts are made of, in UTF-8
};

// Letters whose case folds in each: pairs, final sigma, the Kelvin sign and
// the long s (which fold to ASCII), the capital sharp s, and signs that
// fold to nothing else, with tag bytes so the groups meet them too.
const std::vector<std::string> kUnicodeLetters = {"a",
                                                  "A",
                                                  "k",
                                                  "K",
                                                  "s",
                                                  "S",
                                                  "<",
                                                  ">",
                                                  " ",
                                                  "\xC3\xA9",
                                                  "\xC3\x89",
                                                  "\xCE\xA3",
                                                  "\xCF\x83",
                                                  "\xCF\x82",
                                                  "\xE2\x84\xAA",
                                                  "\xC5\xBF",
                                                  "\xE1\xBA\x9E",
                                                  "\xC3\x9F",
                                                  "\xE2\x84\xA6",
                                                  "\xCF\x89",
                                                  "\xF0\x9F\x98\x80",
                                                  "\xD0\x96",
                                                  "\xD0\xB6"};

std::string Encoded(const std::string& text, const Encoding& encoding) {
  const std::string name = encoding.name;
  if (name == "UTF-8") return encoding.mark + text;
  if (name == "UTF-16LE" || name == "UTF-16BE") {
    std::string bytes;
    EXPECT_FALSE(Utf8ToUtf16(text, name == "UTF-16BE", bytes));
    return encoding.mark + bytes;
  }
  return ToCodePage(text, *CodePageNamed(name)).value();
}

std::string Made(std::mt19937& random, const std::vector<std::string>& letters, int most) {
  std::string text;
  const int length = static_cast<int>(random() % static_cast<unsigned>(most)) + 1;
  for (int i = 0; i < length; ++i) text += letters[random() % letters.size()];
  return text;
}

class FoldingDifferentialTest : public ::testing::TestWithParam<Encoding> {};

TEST_P(FoldingDifferentialTest, CleaningInTheEncodingAgreesWithTheReference) {
  const Encoding& encoding = GetParam();
  std::mt19937 random(23);
  for (int i = 0; i < CaseCount(); ++i) {
    const std::string text = Made(random, encoding.letters, 40);
    CleaningOptions options;
    options.encoding.forced = encoding.name;
    options.caseSensitive = random() % 4 == 0;
    options.removeTextEnabled = random() % 2 == 0;
    options.removeText = Made(random, encoding.letters, 3);
    options.removeBlockEnabled = random() % 3 == 0;
    options.blockBegin = Made(random, encoding.letters, 2);
    options.blockEnd = Made(random, encoding.letters, 2);
    options.searchEnabled = random() % 2 == 0;
    options.searchText = Made(random, encoding.letters, 3);
    options.replaceText = Made(random, encoding.letters, 3);
    options.removeFonts = random() % 4 == 0;

    TextBuffer expected{text, false};
    reference::CleanText(expected, options);
    const EncodedCleaning cleaned = CleanEncoded(Encoded(text, encoding), options);
    ASSERT_FALSE(cleaned.error) << *cleaned.error;
    ASSERT_EQ(cleaned.bytes, Encoded(expected.text, encoding)) << "case " << i;
    ASSERT_EQ(cleaned.modified, expected.modified) << "case " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, FoldingDifferentialTest,
    ::testing::Values(Encoding{"UTF-8", "", kUnicodeLetters},
                      Encoding{"UTF-8", "\xEF\xBB\xBF", kUnicodeLetters},
                      Encoding{"UTF-16LE", "\xFF\xFE", kUnicodeLetters},
                      Encoding{"UTF-16BE", "\xFE\xFF", kUnicodeLetters},
                      // windows-1252 pairs é/É, ÿ/Ÿ (0xFF/0x9F), š/Š; ß has no capital there.
                      Encoding{"windows-1252",
                               "",
                               {"a", "A", "k", "K", "s", "<", ">", "\xC3\xA9", "\xC3\x89",
                                "\xC3\xBF", "\xC5\xB8", "\xC5\xA1", "\xC5\xA0", "\xC3\x9F"}},
                      // ISO-8859-7: Greek with final sigma.
                      Encoding{"ISO-8859-7",
                               "",
                               {"a", "K", "k", "<", ">", "\xCE\xA3", "\xCF\x83", "\xCF\x82",
                                "\xCE\xB1", "\xCE\x91", "\xCE\xAC", "\xCE\x86"}}),
    [](const auto& param) {
      std::string name = param.param.name;
      if (*param.param.mark != '\0') name += "Bom";
      for (char& c : name) c = (c == '-') ? '_' : c;
      return name;
    });

}  // namespace
}  // namespace quillmere
