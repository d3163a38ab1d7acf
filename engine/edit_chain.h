#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// Whether the step's result is never longer than its input.
bool NeverLengthens(const ChainStep& step);

// At most this many steps make one chain.
inline constexpr std::size_t kMaxChainSteps = 64;  // StageRouter::kMaxStages

// Applies `steps` (at most kMaxChainSteps) one after the other to `text` in a
// single pass. The result is exactly that of running each step's loop on the
// whole text in turn. It is written over the text when no step can lengthen
// it, and otherwise into `spare`, which then changes places with `text`; the
// capacity of both is reused. Returns whether any step edited.
bool RunEditChain(std::span<const ChainStep> steps, std::string& text, std::string& spare);

// A chain of a cleaning pass, and whether the text is trimmed of white space
// at both ends (as TrimWhiteSpace) before it.
struct ChainSegment {
  std::vector<ChainStep> steps;  // at most kMaxChainSteps
  bool trimFirst = false;
};

// Runs `segments` one after the other on `text`, each as RunEditChain would.
// On a large text whose chains never lengthen it, each chain runs on a thread
// of its own, reading what the one before it has written so far, so the
// chains work side by side (see chain_pipeline.cpp). Returns whether any
// chain edited.
bool RunEditChains(std::span<const ChainSegment> segments, std::string& text, std::string& spare);

// When RunEditChains runs the chains side by side: from what size of text on,
// and how much of it the first chain reads between reports of its progress.
// Tests make both small, so that small texts go through the pipeline in many
// turns.
struct PipelineShape {
  std::size_t from = std::size_t{1} << 20;
  std::size_t stretch = std::size_t{64} << 10;  // not 0
};
void SetPipelineShape(const PipelineShape& shape);

}  // namespace quillmere::detail
