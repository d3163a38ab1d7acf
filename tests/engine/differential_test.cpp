// The fast engine against the literal reference, on random HTML-ish texts.
// QUILLMERE_DIFFERENTIAL_CASES sets the number of cases per test (default 10000).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cleaning_pass.h"
#include "html_token_generator.h"
#include "reference_engine.h"
#include "text_primitives.h"

namespace quillmere {
namespace {

using testing::HtmlTokenGenerator;

int CaseCount() {
  const char* configured = std::getenv("QUILLMERE_DIFFERENTIAL_CASES");
  const int count = configured != nullptr ? std::atoi(configured) : 0;
  return count > 0 ? count : 10000;
}

std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c < 0x20 || c >= 0x7F)
      out += "\\x" + std::to_string(c);
    else
      out += static_cast<char>(c);
  }
  return out;
}

// Mostly short texts, where every resume rule is exercised often, and now and
// then a long one that runs through the sixteen-byte scan.
TextBuffer StartBuffer(HtmlTokenGenerator& gen, std::size_t tokens) {
  TextBuffer buffer{gen.Text(gen.Below(8) == 0 ? tokens * 8 : tokens), gen.Coin()};
  return buffer;
}

void ExpectSame(const TextBuffer& fast, const TextBuffer& slow, const std::string& context) {
  ASSERT_EQ(Printable(fast.text), Printable(slow.text)) << context;
  ASSERT_EQ(fast.modified, slow.modified) << context;
}

TEST(Differential, FindTextAgreesInBothCaseModes) {
  HtmlTokenGenerator gen(11);
  for (int i = 0; i < CaseCount(); ++i) {
    gen.SetTiny(i % 2 == 1);
    const std::string text = gen.Text(30);
    const std::string pattern = gen.Fragment(false);
    const bool caseSensitive = gen.Coin();
    const long start = static_cast<long>(gen.Below(static_cast<std::uint32_t>(text.size() + 3)));
    ASSERT_EQ(FindText(pattern, text, static_cast<std::size_t>(start), caseSensitive),
              reference::FindText(pattern, text, start, caseSensitive))
        << Printable(pattern) << " in " << Printable(text) << " from " << start;
  }
}

TEST(Differential, RemoveAllTextAgrees) {
  HtmlTokenGenerator gen(12);
  for (int i = 0; i < CaseCount(); ++i) {
    gen.SetTiny(i % 2 == 1);
    TextBuffer fast = StartBuffer(gen, 40);
    TextBuffer slow = fast;
    const std::string target = gen.Fragment(false);
    RemoveAllText(fast, target);
    reference::RemoveAllText(slow, target);
    ExpectSame(fast, slow, "target " + Printable(target));
  }
}

TEST(Differential, BlockLoopsAgree) {
  HtmlTokenGenerator gen(13);
  for (int i = 0; i < CaseCount(); ++i) {
    gen.SetTiny(i % 2 == 1);
    TextBuffer fast = StartBuffer(gen, 40);
    TextBuffer slow = fast;
    const std::string begin = gen.Fragment(false);
    const std::string end = gen.Fragment(false);
    std::string replacement = gen.Fragment(true);
    if (reference::FindText(begin, replacement, 0, false) != -1) replacement.clear();
    const std::string context =
        Printable(begin) + " .. " + Printable(end) + " -> " + Printable(replacement);
    if (gen.Coin()) {
      RemoveBlocks(fast, begin, end);
      reference::RemoveBlocks(slow, begin, end);
    } else {
      try {
        reference::ReplaceBlocks(slow, begin, end, replacement);
      } catch (const reference::RunawayLoop&) {
        continue;  // no literal result to compare with
      }
      ReplaceBlocks(fast, begin, end, replacement);
    }
    ExpectSame(fast, slow, context);
  }
}

TEST(Differential, ReplaceAllTextAgreesInBothCaseModes) {
  HtmlTokenGenerator gen(14);
  for (int i = 0; i < CaseCount(); ++i) {
    gen.SetTiny(i % 2 == 1);
    TextBuffer fast = StartBuffer(gen, 40);
    TextBuffer slow = fast;
    const std::string target = gen.Fragment(false);
    const std::string replacement = gen.Coin() ? gen.Fragment(true) : target + gen.Fragment(true);
    const bool caseSensitive = gen.Coin();
    ReplaceAllText(fast, target, replacement, caseSensitive);
    reference::ReplaceAllText(slow, target, replacement, caseSensitive);
    ExpectSame(fast, slow, Printable(target) + " -> " + Printable(replacement));
  }
}

TEST(Differential, ReplaceOnePassAgreesWithCount) {
  HtmlTokenGenerator gen(15);
  for (int i = 0; i < CaseCount(); ++i) {
    gen.SetTiny(i % 2 == 1);
    TextBuffer fast = StartBuffer(gen, 40);
    TextBuffer slow = fast;
    const std::string target = gen.Fragment(false);
    const std::string replacement = gen.Fragment(true);
    const std::size_t fastCount = ReplaceOnePass(fast, target, replacement);
    const int slowCount = reference::ReplaceOnePass(slow, target, replacement);
    ASSERT_EQ(fastCount, static_cast<std::size_t>(slowCount));
    ExpectSame(fast, slow, Printable(target) + " -> " + Printable(replacement));
  }
}

TEST(Differential, TrimWhiteSpaceAgrees) {
  HtmlTokenGenerator gen(16);
  for (int i = 0; i < CaseCount(); ++i) {
    gen.SetTiny(i % 2 == 1);
    TextBuffer fast = StartBuffer(gen, 12);
    TextBuffer slow = fast;
    TrimWhiteSpace(fast);
    reference::TrimWhiteSpace(slow);
    ExpectSame(fast, slow, "trim");
  }
}

TEST(Differential, CleanTextAgreesWithRandomOptions) {
  HtmlTokenGenerator gen(17);
  for (int i = 0; i < CaseCount(); ++i) {
    gen.SetTiny(i % 2 == 1);
    TextBuffer fast = StartBuffer(gen, 80);
    TextBuffer slow = fast;
    const CleaningOptions options = gen.Options();
    CleanText(fast, options);
    reference::CleanText(slow, options);
    ExpectSame(fast, slow, "case " + std::to_string(i));
  }
}

}  // namespace
}  // namespace quillmere
