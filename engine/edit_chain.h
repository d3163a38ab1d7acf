#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace quillmere::detail {

// One edit of a chain, as the text primitives name them.
struct ChainStep {
  enum class Kind {
    kReplaceEach,    // RemoveAllText, ReplaceOnePass, or a ReplaceAllText whose
                     // replacement holds its target: search on after each match
    kReplaceRescan,  // ReplaceAllText: search on from the replacement
    kBlocks,         // RemoveBlocks (empty replacement) or ReplaceBlocks
  };
  Kind kind;
  std::string_view pattern;  // target or begin text; not empty
  std::string_view end;      // end text of kBlocks; not empty there
  std::string_view replacement;
  bool caseSensitive = false;  // kBlocks always folds
};

// At most this many steps make one chain.
inline constexpr std::size_t kMaxChainSteps = 64;  // StageRouter::kMaxStages

// Applies `steps` (at most kMaxChainSteps) one after the other to `text` in a
// single pass. The result is exactly that of running each step's loop on the
// whole text in turn. It is written over the text when no step can lengthen
// it, and otherwise into `spare`, which then changes places with `text`; the
// capacity of both is reused. Returns whether any step edited.
bool RunEditChain(std::span<const ChainStep> steps, std::string& text, std::string& spare);

}  // namespace quillmere::detail
