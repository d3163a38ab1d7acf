#include "html_token_generator.h"

#include <array>
#include <string_view>

namespace quillmere::testing {
namespace {

constexpr std::array<std::string_view, 72> kTokens = {
    "<table border=1>",
    "<table",
    "</table>",
    "<tr>",
    "</tr>",
    "<tr class=x>",
    "<td>",
    "<td width=5>",
    "</td>",
    "<th>",
    "</th>",
    "<thead>",
    "<script>",
    "</script>",
    "/script>",
    "<applet code=a>",
    "</applet>",
    "<img src=x>",
    "<img",
    "<form action=y>",
    "</form>",
    "<bgsound src=s>",
    "<!--",
    "-->",
    "<!-->",
    "<BR>",
    "<br>",
    "<BR><BR>",
    "<p>",
    "</p>",
    "<p></p>",
    "<NOBR>",
    "</nobr>",
    "<ul>",
    "</UL>",
    "<ol type=1>",
    "</ol>",
    "<li>",
    "<LINK>",
    "</li>",
    "<dl>",
    "<dt>",
    "<dd>",
    "</dd>",
    "<menu>",
    "<dir>",
    "<b>",
    "</b>",
    "<u>",
    "<i>",
    "<s>",
    "<tt>",
    "<big>",
    "<small>",
    "<font size=2>",
    "</font>",
    "<basefont>",
    "<blockquote>",
    "<",
    ">",
    "/",
    " ",
    "  ",
    "\t",
    "\r\n",
    "\n",
    "\r",
    "text",
    "foo",
    "\xE9",
    "\xC3\xA9",
    "@[`{",
};

// The texts the cleaning steps search for and insert.
constexpr std::array<std::string_view, 42> kStepTexts = {
    "<table", "</table>", "<tr>",     "</tr>",   "<td",   "<th",     "</td>",  "</th>",    "<p>",
    "</p>",   "<script",  "/script>", "<applet", "<img",  "<form",   "/form>", "<bgsound", ">",
    "  ",     "<BR>",     "\t",       "\r\n",    "<!--",  "-->",     "<NOBR>", "</NOBR>",  "<UL",
    "</UL>",  "<OL",      "<LI",      "</LI>",   "<DL>",  "<DT>",    "<DD>",   "</DD>",    "<menu>",
    "<B>",    "</B>",     "<TT>",     "<BIG>",   "<FONT", "</FONT>",
};

}  // namespace

std::string HtmlTokenGenerator::TagPiece() {
  std::string text(kStepTexts[random_() % kStepTexts.size()]);
  // Whole half the time, else a prefix, a suffix or a middle piece.
  if (text.size() > 1 && Coin()) {
    const std::size_t start = Coin() ? 0 : random_() % text.size();
    const std::size_t length = 1 + random_() % (text.size() - start);
    text = text.substr(start, length);
  }
  return MixCase(text);
}

std::string HtmlTokenGenerator::MixCase(std::string token) {
  const std::uint32_t mode = random_() % 4;
  for (char& c : token) {
    const bool upper = mode == 0 || (mode == 3 && Coin());
    if (mode == 1) continue;  // as written
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (!upper && mode >= 2 && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return token;
}

std::string HtmlTokenGenerator::TinyString(std::size_t maxLength) {
  static constexpr std::string_view kAlphabet = "<<!-->aAbB";
  std::string text;
  const std::size_t length = random_() % (maxLength + 1);
  for (std::size_t i = 0; i < length; ++i) text += kAlphabet[random_() % kAlphabet.size()];
  return text;
}

std::string HtmlTokenGenerator::Text(std::size_t maxTokens) {
  if (vocabulary_ == Vocabulary::kTiny) return TinyString(maxTokens * 2);
  std::string text;
  const std::size_t count = maxTokens == 0 ? 0 : random_() % (maxTokens + 1);
  for (std::size_t i = 0; i < count; ++i) {
    text += vocabulary_ == Vocabulary::kTagPieces
                ? TagPiece()
                : MixCase(std::string(kTokens[random_() % kTokens.size()]));
  }
  return text;
}

std::string HtmlTokenGenerator::Fragment(bool allowEmpty) {
  if (allowEmpty && random_() % 8 == 0) return {};
  if (vocabulary_ == Vocabulary::kTagPieces) return TagPiece();
  if (vocabulary_ == Vocabulary::kTiny) {
    std::string fragment;
    while (fragment.empty()) fragment = TinyString(4);
    return fragment;
  }
  std::string token = MixCase(std::string(kTokens[random_() % kTokens.size()]));
  // Often only a piece of a token, so patterns also begin or end mid-tag.
  if (token.size() > 1 && Coin()) {
    const std::size_t start = random_() % token.size();
    const std::size_t length = 1 + random_() % (token.size() - start);
    token = token.substr(start, length);
  }
  if (random_() % 6 == 0) token += MixCase(std::string(kTokens[random_() % kTokens.size()]));
  return token;
}

CleaningOptions HtmlTokenGenerator::Options() {
  CleaningOptions o;
  for (bool* flag :
       {&o.convertTables, &o.cleanNotes, &o.removeTextEnabled, &o.removeBlockEnabled,
        &o.searchEnabled, &o.removeScripts, &o.caseSensitive, &o.removePictures, &o.removeForms,
        &o.removeSounds, &o.convertLists, &o.removeFonts, &o.pdaPreset}) {
    *flag = Coin();
  }
  o.removeText = Fragment(true);
  o.blockBegin = Fragment(true);
  o.blockEnd = Fragment(true);
  o.searchText = Fragment(true);
  o.replaceText = Replacement(o.searchText);
  // Now and then a long list, so that rules span more than one chain.
  const std::uint32_t ruleCount = random_() % 8 == 0 ? 24 : random_() % 4;
  for (std::uint32_t i = 0; i < ruleCount; ++i) {
    TextRule rule{static_cast<TextRule::Kind>(random_() % 3), Fragment(true), {}};
    if (rule.kind == TextRule::Kind::kRemoveBlock) rule.second = Fragment(true);
    if (rule.kind == TextRule::Kind::kReplace) rule.second = Replacement(rule.first);
    o.rules.push_back(std::move(rule));
  }
  return o;
}

std::string HtmlTokenGenerator::Replacement(const std::string& search) {
  // Sometimes a replacement that holds its own target, in some letter case.
  return random_() % 5 == 0 ? MixCase(search + Fragment(true)) : Fragment(true);
}

}  // namespace quillmere::testing
