#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pattern_automaton.h"
#include "stage_router.h"

namespace quillmere::detail {

// One step of a chain: reads the text that the steps before it produce and
// passes its own result on, holding back only the bytes that a later match
// could still take. Its result is exactly that of the step's classic loop run
// on the whole text.
class EditStage : public ByteSink {
 public:
  EditStage(StageRouter& router, std::size_t index) : router_(router), index_(index) {}

  void Put(char c) final;
  void Put(std::string_view run) final;
  void Finish() final;

  // Reads bytes of the chain's input directly while it can, when it is the
  // only busy stage; returns how many it took.
  virtual std::size_t Absorb(std::string_view /*input*/) { return 0; }

  // Edits `match` at once if it is a whole match of the stage's pattern,
  // when the chain knows that nothing else reacts to it; returns whether it
  // did. The stage must be idle.
  virtual bool EditDirectly(std::string_view /*match*/) { return false; }

 protected:
  virtual void Process(char c) = 0;
  // Whether the stage holds nothing and waits for a first pattern byte.
  virtual bool Idle() const = 0;
  virtual void Flush() = 0;

  const StageRouter& router() const { return router_; }
  std::size_t index() const { return index_; }
  // Queues bytes for the later stages; Send hands them on as one run.
  void Emit(std::string_view run);
  void Send();
  // Has `text` read next, before the rest of the input.
  void ReadAgain(std::string_view text) { reread_.append(text.rbegin(), text.rend()); }
  void MarkEdited() { router_.MarkEdited(); }
  StageRouter& mutableRouter() { return router_; }
  // Reads what ReadAgain queued.
  void ReadQueued();
  // Reads what ReadAgain queued, sends what was emitted and tells the router
  // whether the stage is busy.
  void Settle();

 private:
  StageRouter& router_;
  std::size_t index_;
  std::string reread_;  // reversed: the next byte to read is at the back
  std::string outgoing_;
};

// Every match found scanning forward is replaced (or deleted), and the search
// goes on after it: RemoveAllText, ReplaceOnePass and a ReplaceAllText whose
// replacement holds its own target. With `rescan`, the search goes on at the
// replacement instead, as ReplaceAllText does.
class ReplaceStage final : public EditStage {
 public:
  ReplaceStage(StageRouter& router, std::size_t index, std::string_view target,
               std::string_view replacement, bool caseSensitive, bool rescan);

  // Takes the bytes that no earlier stage can react to while a match is in
  // progress or the next byte may begin one.
  std::size_t Absorb(std::string_view input) override;
  bool EditDirectly(std::string_view match) override;

 private:
  void Process(char c) override;
  bool Idle() const override { return state_ == 0; }
  void Flush() override;

  PatternAutomaton target_;
  std::string exact_;    // the target as given, when case-sensitive
  unsigned char first_;  // folded
  std::string replacement_;
  bool rescan_;
  // Searching again from the replacement finds nothing that reaches past it,
  // so the stage is idle after it, as after a replacement it searches on from.
  bool rescanEndsIdle_;
  bool replacementPassesOn_;  // no later stage reacts to the replacement
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
  unsigned char endFirst_;  // folded
  std::string replacement_;
  std::uint32_t state_ = 0;
  std::string held_;
  std::vector<std::uint32_t> states_;  // the begin automaton's state after each held byte
  bool inBlock_ = false;
  std::size_t blockStart_ = 0;
  std::uint32_t endState_ = 0;
};

}  // namespace quillmere::detail
