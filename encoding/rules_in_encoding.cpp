#include "rules_in_encoding.h"

#include "code_page_text.h"
#include "utf8_text.h"

namespace quillmere {
namespace {

// The text as the engine sees a legacy file's text: UTF-8 that the code page
// can hold, or nothing. A text that is no valid UTF-8 was given as the code
// page's own bytes (a script written for 8-bit text) and is decoded from it.
std::optional<std::string> InCodePage(const std::string& text, const SingleByteCodePage& page) {
  if (!IsValidUtf8(text)) return DecodeCodePage(text, page);
  if (!ToCodePage(text, page)) return std::nullopt;
  return text;
}

// Converts the rule's texts in place; a text with no bytes in the code page
// empties the rule's first text, which makes the engine pass it over.
void Convert(std::string& first, std::string* second, const SingleByteCodePage& page,
             bool& leftOut) {
  std::optional<std::string> convertedFirst = InCodePage(first, page);
  std::optional<std::string> convertedSecond;
  if (second) convertedSecond = InCodePage(*second, page);
  if (!convertedFirst || (second && !convertedSecond)) {
    leftOut = leftOut || !first.empty();
    first.clear();
    return;
  }
  first = std::move(*convertedFirst);
  if (second) *second = std::move(*convertedSecond);
}

bool IsPattern(const TextRule& rule) {
  return rule.kind == TextRule::Kind::kRemovePattern ||
         rule.kind == TextRule::Kind::kReplacePattern;
}

}  // namespace

RulesInEncoding RulesFor(const CleaningOptions& options, const FileEncoding& encoding) {
  RulesInEncoding result{options, false};
  if (encoding.kind != FileEncoding::Kind::kLegacy) return result;
  const SingleByteCodePage* page = CodePageNamed(encoding.codePage);
  if (!page) return result;
  CleaningOptions& converted = result.options;
  bool& leftOut = result.textLeftOut;
  if (converted.removeTextEnabled) Convert(converted.removeText, nullptr, *page, leftOut);
  if (converted.removeBlockEnabled) {
    Convert(converted.blockBegin, &converted.blockEnd, *page, leftOut);
  }
  if (converted.searchEnabled) {
    Convert(converted.searchText, &converted.replaceText, *page, leftOut);
  }
  for (TextRule& rule : converted.rules) {
    if (IsPattern(rule)) continue;  // patterns match the bytes as written
    const bool paired = rule.kind != TextRule::Kind::kRemoveText;
    Convert(rule.first, paired ? &rule.second : nullptr, *page, leftOut);
  }
  return result;
}

bool UserTextsAreAscii(const CleaningOptions& options) {
  const auto ascii = [](const std::string& text) { return IsAscii(text); };
  if (options.removeTextEnabled && !ascii(options.removeText)) return false;
  if (options.removeBlockEnabled && !(ascii(options.blockBegin) && ascii(options.blockEnd))) {
    return false;
  }
  if (options.searchEnabled && !(ascii(options.searchText) && ascii(options.replaceText))) {
    return false;
  }
  for (const TextRule& rule : options.rules) {
    if (IsPattern(rule) || !ascii(rule.first) || !ascii(rule.second)) return false;
  }
  return true;
}

}  // namespace quillmere
