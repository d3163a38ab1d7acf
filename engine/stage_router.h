#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quillmere::detail {

// Receives the bytes of a text in order, then the end of the text.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Put(char c) = 0;
  virtual void Put(std::string_view run) {
    for (const char c : run) Put(c);
  }
  virtual void Finish() = 0;
};

// Which stages of a chain (at most 64) a run of bytes may make react, from
// the first three bytes of their patterns. Built once for a chain's patterns.
//
// An idle stage passes on unchanged, and stays idle after, any run of bytes
// in which every byte that could begin its pattern is followed, within the
// run, by one of the next two that does not go on along it.
class RouteTable {
 public:
  using StageSet = std::uint64_t;  // bit k: stage k
  static constexpr std::size_t kMaxStages = 64;

  // Adds the next stage, which searches for `pattern`.
  void Add(std::string_view pattern);

  // The stages that may react to `run`, whether busy or not.
  StageSet Reacting(std::string_view run) const;
  // The stages whose pattern may begin with `c`.
  StageSet StartingWith(char c) const { return startsWith_[static_cast<unsigned char>(c)]; }

 private:
  using BySecondByte = std::array<StageSet, 256>;

  std::size_t count_ = 0;
  std::array<StageSet, 256> startsWith_{};  // by byte
  // By a first byte that begins some pattern (index into reactions_) and the
  // byte after it: the stages that pair may make react.
  std::array<std::uint8_t, 256> firstSlot_{};  // 0: begins no pattern
  std::vector<BySecondByte> reactions_;
  BySecondByte thirdFits_{};  // by byte: the stages whose third pattern byte it may be
};

// Carries bytes between the stages of one chain while it runs: a run goes
// straight to the first later stage that is busy or may react to it, or to
// the output.
class StageRouter {
 public:
  static constexpr std::size_t kMaxStages = RouteTable::kMaxStages;

  explicit StageRouter(const RouteTable& table) : table_(table) {}

  // Where bytes go after the last stage.
  void SetOutput(ByteSink& output) { output_ = &output; }
  // Adds the next stage, in the order of the table's patterns.
  void Attach(ByteSink& stage) { stages_.push_back(&stage); }

  // Hands bytes on from the stage before stage `from` (0: the chain's input).
  void Deliver(std::size_t from, std::string_view run);
  // Whether `run`, handed on from the stage before stage `from`, would go
  // straight to the output while no stage is busy: no later stage reacts to it.
  bool PassesLaterStages(std::size_t from, std::string_view run) const {
    return run.empty() || (table_.Reacting(run) & Later(from)) == 0;
  }
  // Hands `run` to the output, bypassing the stages; only for a run that
  // passes the later stages, while none is busy.
  void DeliverToOutput(std::string_view run) { output_->Put(run); }

  void SetBusy(std::size_t index, bool busy) {
    const StageSet bit = StageSet{1} << index;
    busy_ = busy ? (busy_ | bit) : (busy_ & ~bit);
  }
  bool AnyBusy() const { return busy_ != 0; }
  // The index of the only busy stage, or kMaxStages unless exactly one is.
  std::size_t SoleBusy() const;
  // Whether `c` from the chain's input reaches stage `index` untouched.
  bool ReachesUntouched(char c, std::size_t index) const {
    const StageSet before = (StageSet{1} << index) - 1;
    return (table_.StartingWith(c) & before) == 0;
  }

  void MarkEdited() { edited_ = true; }
  bool edited() const { return edited_; }

 private:
  using StageSet = RouteTable::StageSet;

  static StageSet Later(std::size_t from) { return from < kMaxStages ? ~StageSet{0} << from : 0; }

  const RouteTable& table_;
  ByteSink* output_ = nullptr;
  std::vector<ByteSink*> stages_;
  StageSet busy_ = 0;
  bool edited_ = false;
};

}  // namespace quillmere::detail
