// libFuzzer target: the engine against the literal reference on arbitrary
// bytes. Input layout: two bytes of switches (the groups, then how the chains
// run), then NUL-separated fields: the
// text, removeText, blockBegin, blockEnd, searchText, replaceText, and then
// any number of further rules, five fields each: a text to remove, a block's
// begin and end, a search text and its replacement.
//
// With QUILLMERE_FUZZ_ENCODING set to UTF-8, UTF-16LE, UTF-16BE or
// windows-1252, each byte of the text and of the user's texts stands for one
// of a few letters whose case folds beyond ASCII (or a tag's byte), and the
// text is cleaned as a file in that encoding against the reference run on
// the text before encoding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cleaning_pass.h"
#include "code_page_text.h"
#include "edit_chain.h"
#include "encoded_cleaning.h"
#include "reference_engine.h"
#include "text_primitives.h"
#include "utf16_text.h"

namespace {

using quillmere::CleaningOptions;
using quillmere::TextBuffer;

constexpr std::size_t kMaxText = 4096;  // the reference is quadratic
// Replacing blocks can grow without end; the reference notices only after
// thousands of restarts, so that loop gets shorter texts.
constexpr std::size_t kMaxReplaceBlocksText = 512;

std::vector<std::string> SplitFields(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      fields.emplace_back();
    } else {
      fields.back() += static_cast<char>(data[i]);
    }
  }
  if (fields.size() < 6) fields.resize(6);
  return fields;
}

CleaningOptions OptionsFrom(std::uint16_t bits, const std::vector<std::string>& f) {
  CleaningOptions o;
  bool* flags[] = {&o.convertTables, &o.cleanNotes,    &o.removeTextEnabled, &o.removeBlockEnabled,
                   &o.searchEnabled, &o.removeScripts, &o.caseSensitive,     &o.removePictures,
                   &o.removeForms,   &o.removeSounds,  &o.convertLists,      &o.removeFonts};
  for (std::size_t k = 0; k < std::size(flags); ++k) *flags[k] = (bits >> k) & 1;
  o.removeText = f[1];
  o.blockBegin = f[2];
  o.blockEnd = f[3];
  o.searchText = f[4];
  o.replaceText = f[5];
  for (std::size_t k = 6; k + 5 <= f.size(); k += 5) {
    o.rules.push_back({quillmere::TextRule::Kind::kRemoveText, f[k], {}});
    o.rules.push_back({quillmere::TextRule::Kind::kRemoveBlock, f[k + 1], f[k + 2]});
    o.rules.push_back({quillmere::TextRule::Kind::kReplace, f[k + 3], f[k + 4]});
  }
  return o;
}

void Check(const TextBuffer& fast, const TextBuffer& slow) {
  if (fast.text != slow.text || fast.modified != slow.modified) std::abort();
}

const char* FuzzedEncoding() {
  static const char* encoding = std::getenv("QUILLMERE_FUZZ_ENCODING");
  return encoding;
}

// Letters that fold beyond ASCII (final sigma, the Kelvin sign, the long s,
// the capital sharp s, a sign beyond the basic plane) and tag bytes; only
// those windows-1252 holds for it.
const std::vector<std::string>& Letters(bool legacy) {
  static const std::vector<std::string> unicode = {"a",        "A",
                                                   "k",        "K",
                                                   "s",        "S",
                                                   "<",        ">",
                                                   "/",        " ",
                                                   "\xC3\xA9", "\xC3\x89",
                                                   "\xCE\xA3", "\xCF\x83",
                                                   "\xCF\x82", "\xE2\x84\xAA",
                                                   "\xC5\xBF", "\xE1\xBA\x9E",
                                                   "\xC3\x9F", "\xE2\x84\xA6",
                                                   "\xCF\x89", "\xF0\x9F\x98\x80"};
  static const std::vector<std::string> windows1252 = {
      "a", "A",        "k",        "K",        "s",        "S",        "<",        ">",       "/",
      " ", "\xC3\xA9", "\xC3\x89", "\xC3\xBF", "\xC5\xB8", "\xC5\xA0", "\xC5\xA1", "\xC3\x9F"};
  return legacy ? windows1252 : unicode;
}

std::string AsLetters(const std::string& bytes, bool legacy) {
  const std::vector<std::string>& letters = Letters(legacy);
  std::string text;
  for (unsigned char byte : bytes) text += letters[byte % letters.size()];
  return text;
}

std::string Encoded(const std::string& text, const std::string& encoding) {
  if (encoding == "UTF-16LE" || encoding == "UTF-16BE") {
    std::string bytes;
    if (quillmere::Utf8ToUtf16(text, encoding == "UTF-16BE", bytes)) std::abort();
    return bytes;
  }
  if (encoding == "UTF-8") return text;
  return quillmere::ToCodePage(text, *quillmere::CodePageNamed(encoding)).value();
}

// The text and the user's texts as letters, cleaned in the encoding.
void CheckInEncoding(const std::string& encoding, std::vector<std::string> f, std::uint16_t bits) {
  const bool legacy = encoding != "UTF-8" && encoding.rfind("UTF-16", 0) != 0;
  for (std::string& field : f) field = AsLetters(field, legacy);
  CleaningOptions options = OptionsFrom(bits, f);
  options.encoding.forced = encoding;
  TextBuffer slow{f[0], false};
  quillmere::reference::CleanText(slow, options);
  const quillmere::EncodedCleaning fast = quillmere::CleanEncoded(Encoded(f[0], encoding), options);
  if (fast.error || fast.bytes != Encoded(slow.text, encoding) || fast.modified != slow.modified) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto bits = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
  const std::vector<std::string> f = SplitFields(data + 2, size - 2);
  if (f[0].size() > kMaxText) return 0;
  if (const char* encoding = FuzzedEncoding()) {
    CheckInEncoding(encoding, f, bits);
    return 0;
  }
  const CleaningOptions options = OptionsFrom(bits, f);

  // One switch runs the chains side by side, however short the text, with the
  // first one reading 1 to 64 bytes at a time.
  quillmere::detail::PipelineShape shape;
  if ((bits >> 12) & 1) shape = {0, 1 + ((bits >> 13) & 7U) * 9U};
  quillmere::detail::SetPipelineShape(shape);
  TextBuffer fast{f[0], false};
  TextBuffer slow = fast;
  quillmere::CleanText(fast, options);
  quillmere::reference::CleanText(slow, options);
  Check(fast, slow);

  // The user's texts also drive the primitives directly.
  if (!f[2].empty() && !f[3].empty()) {
    TextBuffer a{f[0], false};
    TextBuffer b = a;
    quillmere::RemoveBlocks(a, f[2], f[3]);
    quillmere::reference::RemoveBlocks(b, f[2], f[3]);
    Check(a, b);
    if (f[0].size() <= kMaxReplaceBlocksText &&
        quillmere::reference::FindText(f[2], f[5], 0, false) == -1) {
      TextBuffer c{f[0], false};
      TextBuffer d = c;
      try {
        quillmere::reference::ReplaceBlocks(d, f[2], f[3], f[5]);
      } catch (const quillmere::reference::RunawayLoop&) {
        return 0;
      }
      quillmere::ReplaceBlocks(c, f[2], f[3], f[5]);
      Check(c, d);
    }
  }
  if (!f[4].empty()) {
    for (bool cs : {false, true}) {
      TextBuffer a{f[0], false};
      TextBuffer b = a;
      quillmere::ReplaceAllText(a, f[4], f[5], cs);
      quillmere::reference::ReplaceAllText(b, f[4], f[5], cs);
      Check(a, b);
      if (quillmere::FindText(f[4], f[0], 0, cs) !=
          quillmere::reference::FindText(f[4], f[0], 0, cs)) {
        std::abort();
      }
    }
    TextBuffer a{f[0], false};
    TextBuffer b = a;
    if (static_cast<int>(quillmere::ReplaceOnePass(a, f[4], f[5])) !=
        quillmere::reference::ReplaceOnePass(b, f[4], f[5])) {
      std::abort();
    }
    Check(a, b);
  }
  return 0;
}
