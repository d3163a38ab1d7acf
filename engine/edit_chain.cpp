#include "edit_chain.h"

#include <memory>
#include <vector>

#include "chain_filter.h"
#include "edit_stage.h"

namespace quillmere::detail {
namespace {

// The end of the chain. Until some stage has edited, what arrives is the
// input itself, so it is only counted; the output is written from the first
// byte that arrives after an edit, and never when nothing was edited.
class ChainOutput final : public ByteSink {
 public:
  ChainOutput(std::string_view input, std::string& out, const StageRouter& router)
      : input_(input), out_(out), router_(router) {}

  void Put(char c) override {
    Materialize();
    if (written_) {
      out_.push_back(c);
    } else {
      ++unchanged_;
    }
  }

  void Put(std::string_view run) override {
    Materialize();
    if (written_) {
      out_.append(run);
    } else {
      unchanged_ += run.size();
    }
  }

  void Finish() override { Materialize(); }

  // Input bytes [from, from + count) that reach the end unchanged.
  void PutInput(std::size_t from, std::size_t count) {
    Materialize();
    if (written_) {
      out_.append(input_.substr(from, count));
    } else {
      unchanged_ += count;
    }
  }

 private:
  void Materialize() {
    if (written_ || !router_.edited()) return;
    written_ = true;
    out_.clear();
    out_.reserve(input_.size());
    out_.append(input_.substr(0, unchanged_));
  }

  std::string_view input_;
  std::string& out_;
  const StageRouter& router_;
  std::size_t unchanged_ = 0;
  bool written_ = false;
};

std::unique_ptr<EditStage> MakeStage(const ChainStep& step, StageRouter& router,
                                     std::size_t index) {
  switch (step.kind) {
    case ChainStep::Kind::kReplaceEach:
    case ChainStep::Kind::kReplaceRescan:
      return std::make_unique<ReplaceStage>(router, index, step.pattern, step.replacement,
                                            step.caseSensitive,
                                            step.kind == ChainStep::Kind::kReplaceRescan);
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

bool RunEditChain(std::span<const ChainStep> steps, std::string_view input, std::string& out) {
  if (steps.empty()) return false;
  StageRouter router;
  ChainOutput output(input, out, router);
  router.SetOutput(output);
  std::vector<std::unique_ptr<EditStage>> stages;
  for (const ChainStep& step : steps) {
    stages.push_back(MakeStage(step, router, stages.size()));
    router.Attach(*stages.back(), step.pattern);
  }
  const ChainFilter filter = MakeFilter(steps);

  std::size_t pos = 0;
  while (pos < input.size()) {
    if (!router.AnyBusy()) {
      const std::size_t stop = filter.NextStop(input, pos);
      output.PutInput(pos, stop - pos);
      pos = stop;
      if (pos == input.size()) break;
    }
    router.Deliver(0, input[pos++]);
  }
  for (const auto& stage : stages) stage->Finish();
  output.Finish();
  return router.edited();
}

}  // namespace quillmere::detail
