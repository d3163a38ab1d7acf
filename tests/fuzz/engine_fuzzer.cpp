// libFuzzer target: the engine against the literal reference on arbitrary
// bytes. Input layout: two bytes of switches (the groups, then how the chains
// run), then NUL-separated fields: the
// text, removeText, blockBegin, blockEnd, searchText, replaceText, and then
// any number of further rules, five fields each: a text to remove, a block's
// begin and end, a search text and its replacement.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cleaning_pass.h"
#include "edit_chain.h"
#include "reference_engine.h"
#include "text_primitives.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto bits = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
  const std::vector<std::string> f = SplitFields(data + 2, size - 2);
  if (f[0].size() > kMaxText) return 0;
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
