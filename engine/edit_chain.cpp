#include "edit_chain.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "running_chain.h"
#include "text_search.h"

namespace quillmere::detail {
namespace {

// The shortest text a block can span: the end text is searched from one byte
// after the start of the begin text, so it may overlap the begin text.
std::size_t ShortestBlock(std::string_view begin, std::string_view end) {
  const auto fold = [](char c) { return FoldByte(static_cast<unsigned char>(c)); };
  for (std::size_t e = 1; e < begin.size(); ++e) {
    bool fits = true;
    for (std::size_t k = 0; k < end.size() && e + k < begin.size(); ++k) {
      fits = fits && fold(begin[e + k]) == fold(end[k]);
    }
    if (fits) return e + end.size();
  }
  return begin.size() + end.size();
}

}  // namespace

bool NeverLengthens(const ChainStep& step) {
  if (step.kind != ChainStep::Kind::kBlocks) return step.replacement.size() <= step.pattern.size();
  return step.replacement.size() <= ShortestBlock(step.pattern, step.end);
}

bool RunEditChain(std::span<const ChainStep> steps, std::string& text, std::string& spare) {
  if (steps.empty()) return false;
  const bool inPlace = std::all_of(steps.begin(), steps.end(), NeverLengthens);
  RunningChain chain(steps, text, inPlace ? text : spare, inPlace);
  chain.Advance(text, true);
  if (!chain.edited()) return false;
  if (inPlace) {
    text.resize(chain.size());
  } else {
    text.swap(spare);
  }
  return true;
}

}  // namespace quillmere::detail
