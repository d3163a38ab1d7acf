#include "edit_chain.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "chain_filter.h"
#include "chain_output.h"
#include "edit_stage.h"
#include "text_search.h"

namespace quillmere::detail {
namespace {

constexpr std::size_t kInputRun = 3;

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

bool NeverLengthens(const ChainStep& step) {
  if (step.kind != ChainStep::Kind::kBlocks) return step.replacement.size() <= step.pattern.size();
  return step.replacement.size() <= ShortestBlock(step.pattern, step.end);
}

std::unique_ptr<EditStage> MakeStage(const ChainStep& step, StageRouter& router,
                                     std::size_t index) {
  switch (step.kind) {
    case ChainStep::Kind::kReplaceEach:
    case ChainStep::Kind::kReplaceRescan:
      return std::make_unique<ReplaceStage>(router, index, step.pattern, step.replacement,
                                            step.caseSensitive,
                                            step.kind == ChainStep::Kind::kReplaceRescan);
    case ChainStep::Kind::kWatch:
      return std::make_unique<WatchStage>(router, index, step.pattern, step.caseSensitive,
                                          *step.found);
    case ChainStep::Kind::kBlocks:
      break;
  }
  return std::make_unique<BlockStage>(router, index, step.pattern, step.end, step.replacement);
}

ChainFilter MakeFilter(std::span<const ChainStep> steps) {
  std::vector<ChainFilter::Pattern> patterns;
  for (const ChainStep& step : steps) {
    patterns.push_back({step.pattern, step.kind == ChainStep::Kind::kBlocks});
  }
  return ChainFilter(patterns);
}

}  // namespace

bool RunEditChain(std::span<const ChainStep> steps, std::string& text, std::string& spare) {
  if (steps.empty()) return false;
  const bool inPlace = std::all_of(steps.begin(), steps.end(), NeverLengthens);
  const std::string_view input = text;
  StageRouter router;
  ChainOutput output(input, inPlace ? text : spare, inPlace, router);
  router.SetOutput(output);
  std::vector<std::unique_ptr<EditStage>> stages;
  for (const ChainStep& step : steps) {
    stages.push_back(MakeStage(step, router, stages.size()));
    router.Attach(*stages.back(), step.pattern);
  }
  ChainFilter filter = MakeFilter(steps);

  std::size_t pos = 0;
  while (pos < input.size()) {
    if (!router.AnyBusy()) {
      const std::size_t stop = filter.NextStop(input, pos);
      output.PutInput(pos, stop - pos);
      pos = stop;
      if (pos == input.size()) break;
      std::size_t length = 0;
      const int direct = filter.DirectMatch(input, pos, length);
      if (direct != ChainFilter::kNoStage) {
        // Only that stage reacts: it gets the match straight away.
        EditStage& stage = *stages[static_cast<std::size_t>(direct)];
        const std::string_view match = input.substr(pos, length);
        if (!stage.EditDirectly(match)) stage.Put(match);
        pos += length;
        continue;
      }
    }
    const std::size_t sole = router.SoleBusy();
    if (sole != StageRouter::kMaxStages) {
      pos += stages[sole]->Absorb(input.substr(pos));
      if (pos == input.size()) break;
    }
    // A few bytes at once let the router pass over stages they cannot affect.
    const std::string_view run = input.substr(pos, kInputRun);
    router.Deliver(0, run);
    pos += run.size();
  }
  for (const auto& stage : stages) stage->Finish();
  output.Finish();
  if (router.edited() && !inPlace) text.swap(spare);
  return router.edited();
}

}  // namespace quillmere::detail
