// The fast engine against the literal reference, on random HTML-ish texts.
// QUILLMERE_DIFFERENTIAL_CASES sets the number of cases per test (default 10000).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cleaning_pass.h"
#include "edit_chain.h"
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

// Runs `check` for every case, alternating HTML-ish tokens with the tiny
// alphabet (or with `other`), and stops at the first failing case.
template <class Check>
void ForEachCase(std::uint32_t seed, Check check,
                 HtmlTokenGenerator::Vocabulary other = HtmlTokenGenerator::Vocabulary::kTiny) {
  HtmlTokenGenerator gen(seed);
  for (int i = 0; i < CaseCount(); ++i) {
    gen.SetVocabulary(i % 2 == 1 ? other : HtmlTokenGenerator::Vocabulary::kHtml);
    check(gen);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

// Applies the engine's and the reference's form of one edit to the same
// random text and compares the results.
template <class Fast, class Slow>
void ExpectSameEdit(HtmlTokenGenerator& gen, std::size_t tokens, const std::string& context,
                    Fast fast, Slow slow) {
  TextBuffer engine = StartBuffer(gen, tokens);
  TextBuffer literal = engine;
  fast(engine);
  slow(literal);
  ExpectSame(engine, literal, context);
}

TEST(Differential, FindTextAgreesInBothCaseModes) {
  ForEachCase(11, [](HtmlTokenGenerator& gen) {
    const std::string text = gen.Text(30);
    const std::string pattern = gen.Fragment(false);
    const bool caseSensitive = gen.Coin();
    const long start = static_cast<long>(gen.Below(static_cast<std::uint32_t>(text.size() + 3)));
    ASSERT_EQ(FindText(pattern, text, static_cast<std::size_t>(start), caseSensitive),
              reference::FindText(pattern, text, start, caseSensitive))
        << Printable(pattern) << " in " << Printable(text) << " from " << start;
  });
}

TEST(Differential, RemoveAllTextAgrees) {
  ForEachCase(12, [](HtmlTokenGenerator& gen) {
    const std::string target = gen.Fragment(false);
    ExpectSameEdit(
        gen, 40, "target " + Printable(target), [&](TextBuffer& b) { RemoveAllText(b, target); },
        [&](TextBuffer& b) { reference::RemoveAllText(b, target); });
  });
}

TEST(Differential, RemoveBlocksAgrees) {
  ForEachCase(13, [](HtmlTokenGenerator& gen) {
    const std::string begin = gen.Fragment(false);
    const std::string end = gen.Fragment(false);
    ExpectSameEdit(
        gen, 40, Printable(begin) + " .. " + Printable(end),
        [&](TextBuffer& b) { RemoveBlocks(b, begin, end); },
        [&](TextBuffer& b) { reference::RemoveBlocks(b, begin, end); });
  });
}

TEST(Differential, ReplaceBlocksAgrees) {
  ForEachCase(18, [](HtmlTokenGenerator& gen) {
    const std::string begin = gen.Fragment(false);
    const std::string end = gen.Fragment(false);
    std::string replacement = gen.Fragment(true);
    if (reference::FindText(begin, replacement, 0, false) != -1) replacement.clear();
    TextBuffer engine = StartBuffer(gen, 40);
    TextBuffer literal = engine;
    try {
      reference::ReplaceBlocks(literal, begin, end, replacement);
    } catch (const reference::RunawayLoop&) {
      return;  // grows without end: no literal result to compare with
    }
    ReplaceBlocks(engine, begin, end, replacement);
    ExpectSame(engine, literal,
               Printable(begin) + " .. " + Printable(end) + " -> " + Printable(replacement));
  });
}

TEST(Differential, ReplaceAllTextAgreesInBothCaseModes) {
  ForEachCase(14, [](HtmlTokenGenerator& gen) {
    const std::string target = gen.Fragment(false);
    const std::string replacement = gen.Coin() ? gen.Fragment(true) : target + gen.Fragment(true);
    const bool cs = gen.Coin();
    ExpectSameEdit(
        gen, 40, Printable(target) + " -> " + Printable(replacement),
        [&](TextBuffer& b) { ReplaceAllText(b, target, replacement, cs); },
        [&](TextBuffer& b) { reference::ReplaceAllText(b, target, replacement, cs); });
  });
}

TEST(Differential, ReplaceOnePassAgreesWithCount) {
  ForEachCase(15, [](HtmlTokenGenerator& gen) {
    const std::string target = gen.Fragment(false);
    const std::string replacement = gen.Fragment(true);
    std::size_t engineCount = 0;
    int literalCount = 0;
    ExpectSameEdit(
        gen, 40, Printable(target) + " -> " + Printable(replacement),
        [&](TextBuffer& b) { engineCount = ReplaceOnePass(b, target, replacement); },
        [&](TextBuffer& b) { literalCount = reference::ReplaceOnePass(b, target, replacement); });
    ASSERT_EQ(engineCount, static_cast<std::size_t>(literalCount));
  });
}

TEST(Differential, TrimWhiteSpaceAgrees) {
  ForEachCase(16, [](HtmlTokenGenerator& gen) {
    ExpectSameEdit(
        gen, 12, "trim", [](TextBuffer& b) { TrimWhiteSpace(b); },
        [](TextBuffer& b) { reference::TrimWhiteSpace(b); });
  });
}

TEST(Differential, CleanTextAgreesWithRandomOptions) {
  ForEachCase(17, [](HtmlTokenGenerator& gen) {
    const CleaningOptions options = gen.Options();
    ExpectSameEdit(
        gen, 80, "options of seed 17", [&](TextBuffer& b) { CleanText(b, options); },
        [&](TextBuffer& b) { reference::CleanText(b, options); });
  });
}

// Steps run together in one pass over the text; pieces of their own texts make
// each edit form or split the text of a later step.
TEST(Differential, CleanTextAgreesWhenEditsFormLaterTargets) {
  ForEachCase(
      19,
      [](HtmlTokenGenerator& gen) {
        const CleaningOptions options = gen.Options();
        ExpectSameEdit(
            gen, 30, "options of seed 19", [&](TextBuffer& b) { CleanText(b, options); },
            [&](TextBuffer& b) { reference::CleanText(b, options); });
      },
      HtmlTokenGenerator::Vocabulary::kTagPieces);
}

// The chains of a pass side by side on threads of their own, here on small
// texts that the first chain reads a few bytes at a time.
TEST(Differential, CleanTextAgreesWhenChainsRunSideBySide) {
  struct UsualShapeAfter {
    ~UsualShapeAfter() { detail::SetPipelineShape({}); }
  } usualShapeAfter;
  ForEachCase(
      23,
      [](HtmlTokenGenerator& gen) {
        const CleaningOptions options = gen.Options();
        detail::SetPipelineShape({0, 1 + gen.Below(64)});
        ExpectSameEdit(
            gen, 80, "side by side, seed 23", [&](TextBuffer& b) { CleanText(b, options); },
            [&](TextBuffer& b) { reference::CleanText(b, options); });
      },
      HtmlTokenGenerator::Vocabulary::kTagPieces);
}

}  // namespace
}  // namespace quillmere
