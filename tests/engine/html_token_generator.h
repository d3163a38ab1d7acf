#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "cleaning_options.h"

namespace quillmere::testing {

// Random texts built from HTML-ish tokens: tags of every cleaning group in
// mixed letter case, comments, <BR> runs, spaces, tabs, CR/LF, bytes >= 0x80.
class HtmlTokenGenerator {
 public:
  explicit HtmlTokenGenerator(std::uint32_t seed) : random_(seed) {}

  enum class Vocabulary {
    kHtml,  // whole tokens
    kTiny,  // a tiny alphabet, where patterns overlap, repeat and re-form
    // Pieces of the cleaning steps' own texts, so that what one step removes
    // or inserts forms the text of a later step ("<<B>U>" gives "<U>").
    kTagPieces,
  };
  void SetVocabulary(Vocabulary vocabulary) { vocabulary_ = vocabulary; }

  std::string Text(std::size_t maxTokens);
  // A short pattern or replacement drawn from the same vocabulary.
  std::string Fragment(bool allowEmpty);
  // Random switches, texts and rules.
  CleaningOptions Options();
  bool Coin() { return (random_() & 1u) != 0; }
  std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(random_() % bound); }

 private:
  std::string MixCase(std::string token);
  std::string Replacement(const std::string& search);
  std::string TinyString(std::size_t maxLength);
  std::string TagPiece();

  std::mt19937 random_;
  Vocabulary vocabulary_ = Vocabulary::kHtml;
};

}  // namespace quillmere::testing
