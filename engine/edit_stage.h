#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::detail {

// Receives the bytes of a text one at a time, then the end of the text.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Put(char c) = 0;
  virtual void Put(std::string_view run) {
    for (const char c : run) Put(c);
  }
  virtual void Finish() = 0;
};

class EditStage;

// Carries bytes between the stages of one chain of at most 64 stages. An
// idle stage passes on unchanged every byte that cannot begin its pattern,
// and every run of bytes in which each byte that could begin it is followed
// by one that does not go on along it. So bytes go straight to the first
// later stage that is busy or may react to them, or to the output.
class StageRouter {
 public:
  // Where bytes go after the last stage.
  void SetOutput(ByteSink& output) { output_ = &output; }

  // Adds the next stage, which searches for `pattern`.
  void Attach(EditStage& stage, std::string_view pattern);
  // Hands bytes on from the stage before stage `from` (0: the chain's input).
  void Deliver(std::size_t from, char c);
  void Deliver(std::size_t from, std::string_view run);
  void SetBusy(std::size_t index, bool busy);
  bool AnyBusy() const { return busy_ != 0; }
  // The only busy stage, if exactly one is.
  EditStage* SoleBusy() const;
  // Whether `c` from the chain's input reaches stage `index` untouched.
  bool ReachesUntouched(char c, std::size_t index) const {
    const std::uint64_t before = (std::uint64_t{1} << index) - 1;
    return (startsWith_[static_cast<unsigned char>(c)] & before) == 0;
  }
  void MarkEdited() { edited_ = true; }
  bool edited() const { return edited_; }

 private:
  ByteSink* output_ = nullptr;
  struct Start {
    unsigned char first;   // folded
    unsigned char second;  // folded; unused when the pattern is one byte long
    bool oneByte;
  };
  bool PassesUnchanged(const Start& start, std::string_view run) const;

  std::vector<EditStage*> stages_;
  std::vector<Start> starts_;
  std::array<std::uint64_t, 256> startsWith_{};  // by byte: stages whose pattern may begin so
  std::uint64_t busy_ = 0;
  bool edited_ = false;
};

// Knuth-Morris-Pratt over one pattern, exact or folding ASCII letters. A state
// is the length of the longest suffix of the bytes read that is a prefix of
// the pattern; reaching size() is a match.
class PatternAutomaton {
 public:
  PatternAutomaton(std::string_view pattern, bool caseSensitive);

  std::uint32_t size() const { return static_cast<std::uint32_t>(pattern_.size()); }
  std::uint32_t Next(std::uint32_t state, char c) const;

 private:
  std::string pattern_;  // folded unless case-sensitive
  bool fold_;
  std::vector<std::uint32_t> failure_;
};

// One step of a chain: reads the text that the steps before it produce and
// passes its own result on, holding back only the bytes that a later match
// could still take. Its result is exactly that of the step's classic loop run
// on the whole text.
class EditStage : public ByteSink {
 public:
  EditStage(StageRouter& router, std::size_t index) : router_(router), index_(index) {}

  using ByteSink::Put;
  void Put(char c) final;
  void Finish() final;

  // Reads bytes of the chain's input directly while it can, when it is the
  // only busy stage; returns how many it took.
  virtual std::size_t Absorb(std::string_view /*input*/) { return 0; }

 protected:
  virtual void Process(char c) = 0;
  // Whether the stage holds nothing and waits for a first pattern byte.
  virtual bool Idle() const = 0;
  virtual void Flush() = 0;

  const StageRouter& router() const { return router_; }
  std::size_t index() const { return index_; }
  void Emit(char c) { router_.Deliver(index_ + 1, c); }
  void Emit(std::string_view run) { router_.Deliver(index_ + 1, run); }
  // Has `text` read next, before the rest of the input.
  void ReadAgain(std::string_view text);
  void MarkEdited() { router_.MarkEdited(); }

 private:
  void UpdateBusy();

  StageRouter& router_;
  std::size_t index_;
  std::string reread_;  // reversed: the next byte to read is at the back
  bool busy_ = false;
};

// Every match found scanning forward is replaced (or deleted), and the search
// goes on after it: RemoveAllText, ReplaceOnePass and a ReplaceAllText whose
// replacement holds its own target. With `rescan`, the search goes on at the
// replacement instead, as ReplaceAllText does.
class ReplaceStage final : public EditStage {
 public:
  ReplaceStage(StageRouter& router, std::size_t index, std::string_view target,
               std::string_view replacement, bool caseSensitive, bool rescan);

 private:
  void Process(char c) override;
  bool Idle() const override { return state_ == 0; }
  void Flush() override;

  PatternAutomaton target_;
  std::string replacement_;
  bool rescan_;
  std::uint32_t state_ = 0;
  std::string held_;  // the last state_ bytes read
};

// RemoveBlocks and ReplaceBlocks, always case-insensitive. The classic loop
// searches again from the start after each block; only a begin text reaching
// back across the edit can be new, so the stage keeps every byte read since
// its automaton was last at state 0, with the state after each, and resumes
// from the state in front of the block.
class BlockStage final : public EditStage {
 public:
  BlockStage(StageRouter& router, std::size_t index, std::string_view begin, std::string_view end,
             std::string_view replacement);

  // Inside a block, takes the bytes that no earlier stage can react to.
  std::size_t Absorb(std::string_view input) override;

 private:
  void Process(char c) override;
  bool Idle() const override { return held_.empty(); }
  void Flush() override;

  void OpenBlock();
  void CloseBlock(std::size_t blockEnd);
  void ReleaseHeld();

  PatternAutomaton begin_;
  PatternAutomaton end_;
  std::string replacement_;
  std::uint32_t state_ = 0;
  std::string held_;
  std::vector<std::uint32_t> states_;  // the begin automaton's state after each held byte
  bool inBlock_ = false;
  std::size_t blockStart_ = 0;
  std::uint32_t endState_ = 0;
};

}  // namespace quillmere::detail
