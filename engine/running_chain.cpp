#include "running_chain.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "chain_filter.h"
#include "edit_stage.h"

namespace quillmere::detail {
namespace {

constexpr std::size_t kInputRun = 3;

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

// What a chain's steps decide before any text is read: the filter and the
// routes between the stages.
struct ChainPlan {
  explicit ChainPlan(std::span<const ChainStep> steps) : filter(MakeFilter(steps)) {
    for (const ChainStep& step : steps) routes.Add(step.pattern);
  }
  ChainFilter filter;
  RouteTable routes;
};

namespace {

// Everything a plan depends on, as bytes.
std::string PlanKey(std::span<const ChainStep> steps) {
  std::string key;
  for (const ChainStep& step : steps) {
    key += static_cast<char>(step.kind);
    key += step.caseSensitive ? 'c' : 'f';
    for (const std::string_view text : {step.pattern, step.end}) {
      key += std::to_string(text.size());
      key += ':';
      key += text;
    }
  }
  return key;
}

// A batch runs the same chains on every file, so the last few plans are kept.
// A plan never changes once made, so the threads of a parallel run share
// them. (A cache per thread would be destroyed at each thread's end, which
// the MinGW runtime does after it has freed the thread's storage.)
std::shared_ptr<const ChainPlan> PlanFor(std::span<const ChainStep> steps) {
  constexpr std::size_t kKeptPlans = 8;
  static std::mutex mutex;
  static std::vector<std::pair<std::string, std::shared_ptr<const ChainPlan>>> kept;
  std::string key = PlanKey(steps);
  {
    const std::lock_guard lock(mutex);
    for (const auto& [keptKey, plan] : kept) {
      if (keptKey == key) return plan;
    }
  }
  auto plan = std::make_shared<const ChainPlan>(steps);
  const std::lock_guard lock(mutex);
  if (kept.size() == kKeptPlans) kept.erase(kept.begin());
  kept.emplace_back(std::move(key), plan);
  return plan;
}

}  // namespace

// Reads a chain's input: stretches that no stage reacts to are copied to the
// output whole, a match that concerns one stage alone goes straight to it,
// and everything else goes through the stages a few bytes at a time.
class ChainReader {
 public:
  ChainReader(std::span<const ChainStep> steps, const ChainFilter& filter, ChainOutput& output,
              StageRouter& router)
      : output_(output), router_(router), filter_(filter) {
    for (const ChainStep& step : steps) {
      stages_.push_back(MakeStage(step, router, stages_.size()));
      router.Attach(*stages_.back());
    }
  }

  // Reads on in `input`; unless `final`, stops short of its end by what
  // deciding about a position may read after it.
  void Advance(std::string_view input, bool final) {
    input_ = input;
    const std::size_t margin = final ? 0 : ChainFilter::kLookAhead;
    limit_ = input.size() > margin ? input.size() - margin : 0;
    while (pos_ < limit_) {
      if (!router_.AnyBusy() && (CopyToNextStop() || HandToSoleStage())) continue;
      ReadThroughStages();
    }
    if (!final) return;
    for (const auto& stage : stages_) stage->Finish();
    output_.Finish();
  }

 private:
  // Copies up to the next position the stages must see; true at the limit.
  bool CopyToNextStop() {
    const std::size_t stop = std::min(filter_.NextStop(input_, pos_, scanned_), limit_);
    output_.PutInput(pos_, stop - pos_);
    pos_ = stop;
    return pos_ == limit_;
  }

  // Matches often come in runs (spaces, say), so it goes on while the next
  // match follows at once and concerns the same stage alone.
  bool HandToSoleStage() {
    std::size_t length = 0;
    const int direct = filter_.DirectMatch(input_, pos_, length);
    if (direct == ChainFilter::kNoStage) return false;
    EditStage& stage = *stages_[static_cast<std::size_t>(direct)];
    do {
      const std::string_view match = input_.substr(pos_, length);
      pos_ += length;
      if (!stage.EditDirectly(match)) {
        stage.Put(match);
        return true;
      }
    } while (!router_.AnyBusy() && pos_ < limit_ &&
             filter_.DirectMatch(input_, pos_, length) == direct);
    return true;
  }

  void ReadThroughStages() {
    const std::size_t sole = router_.SoleBusy();
    if (sole != StageRouter::kMaxStages) {
      pos_ += stages_[sole]->Absorb(input_.substr(pos_, limit_ - pos_));
      if (pos_ == limit_) return;
    }
    // A few bytes at once let the router pass over stages they cannot affect.
    const std::string_view run = input_.substr(pos_, std::min(kInputRun, limit_ - pos_));
    router_.Deliver(0, run);
    pos_ += run.size();
  }

  std::string_view input_;
  ChainOutput& output_;
  StageRouter& router_;
  const ChainFilter& filter_;
  ScannedBlock scanned_;
  std::vector<std::unique_ptr<EditStage>> stages_;
  std::size_t pos_ = 0;
  std::size_t limit_ = 0;  // where reading stops for now
};

RunningChain::RunningChain(std::span<const ChainStep> steps, std::string_view source,
                           std::string& out, bool inPlace)
    : plan_(PlanFor(steps)),
      router_(plan_->routes),
      output_(source, out, inPlace, router_),
      reader_(std::make_unique<ChainReader>(steps, plan_->filter, output_, router_)) {
  router_.SetOutput(output_);
}

RunningChain::~RunningChain() = default;

void RunningChain::Advance(std::string_view input, bool final) {
  reader_->Advance(input, final);
  finished_ = final;
}

}  // namespace quillmere::detail
