#include "edit_stage.h"

namespace quillmere::detail {
namespace {

// Runs handed on are at most about this long, so that the stages of a chain
// never hold more than a little each of what passes through them.
constexpr std::size_t kLongRun = 4096;

// Whether the automaton, read `text` from its start, ends at state 0 without
// a match on the way.
bool EndsIdle(const PatternAutomaton& automaton, std::string_view text) {
  std::uint32_t state = 0;
  for (const char c : text) {
    state = automaton.Next(state, c);
    if (state == automaton.size()) return false;
  }
  return state == 0;
}

}  // namespace

void EditStage::Put(char c) {
  Process(c);
  Settle();
}

void EditStage::Put(std::string_view run) {
  for (const char c : run) {
    Process(c);
    ReadQueued();
  }
  Send();
  router_.SetBusy(index_, !Idle());
}

void EditStage::Finish() {
  Flush();
  Settle();
}

void EditStage::ReadQueued() {
  while (!reread_.empty()) {
    const char next = reread_.back();
    reread_.pop_back();
    Process(next);
  }
}

void EditStage::Settle() {
  ReadQueued();
  Send();
  router_.SetBusy(index_, !Idle());
}

void EditStage::Emit(std::string_view run) {
  if (outgoing_.empty() && run.size() >= kLongRun) {
    router_.Deliver(index_ + 1, run);
    return;
  }
  outgoing_.append(run);
  if (outgoing_.size() >= kLongRun) Send();
}

void EditStage::Send() {
  if (outgoing_.empty()) return;
  // Later stages may emit into their own buffers meanwhile, never into this one.
  router_.Deliver(index_ + 1, outgoing_);
  outgoing_.clear();
}

ReplaceStage::ReplaceStage(StageRouter& router, std::size_t index, std::string_view target,
                           std::string_view replacement, bool caseSensitive, bool rescan)
    : EditStage(router, index),
      target_(target, caseSensitive),
      exact_(caseSensitive ? target : std::string_view()),
      first_(FoldByte(static_cast<unsigned char>(target.front()))),
      replacement_(replacement),
      rescan_(rescan),
      rescanEndsIdle_(EndsIdle(target_, replacement)),
      replacementPassesOn_(router.PassesLaterStages(index + 1, replacement)) {}

void ReplaceStage::Process(char c) {
  state_ = target_.Next(state_, c);
  held_.push_back(c);
  if (state_ == target_.size()) {
    held_.clear();
    state_ = 0;
    MarkEdited();
    if (rescan_) {
      ReadAgain(replacement_);
    } else {
      Emit(replacement_);
    }
    return;
  }
  if (held_.size() > state_) {
    const std::size_t released = held_.size() - state_;
    Emit(std::string_view(held_).substr(0, released));
    held_.erase(0, released);
  }
}

std::size_t ReplaceStage::Absorb(std::string_view input) {
  std::size_t taken = 0;
  while (taken < input.size() && router().ReachesUntouched(input[taken], index()) &&
         (state_ != 0 || FoldByte(static_cast<unsigned char>(input[taken])) == first_)) {
    Process(input[taken++]);
    ReadQueued();
  }
  Settle();
  return taken;
}

bool ReplaceStage::EditDirectly(std::string_view match) {
  // The chain compared with letters folded; a case-sensitive target must be
  // equal as it is. Searching on after the match needs nothing held, and so
  // does searching again from a replacement that leaves the stage idle.
  if ((rescan_ && !rescanEndsIdle_) || match.size() != target_.size() ||
      (!exact_.empty() && match != exact_)) {
    return false;
  }
  MarkEdited();
  if (replacementPassesOn_) {
    // No stage is busy, so the replacement goes straight to the output.
    if (!replacement_.empty()) mutableRouter().DeliverToOutput(replacement_);
    return true;
  }
  Emit(replacement_);
  Send();
  return true;
}

void ReplaceStage::Flush() {
  Emit(held_);
  held_.clear();
  state_ = 0;
}

BlockStage::BlockStage(StageRouter& router, std::size_t index, std::string_view begin,
                       std::string_view end, std::string_view replacement)
    : EditStage(router, index),
      begin_(begin, false),
      end_(end, false),
      endFirst_(FoldByte(static_cast<unsigned char>(end.front()))),
      replacement_(replacement) {}

void BlockStage::Process(char c) {
  if (inBlock_) {
    held_.push_back(c);
    endState_ = end_.Next(endState_, c);
    if (endState_ == end_.size()) CloseBlock(held_.size());
    return;
  }
  state_ = begin_.Next(state_, c);
  if (state_ == 0) {
    // No begin text can start in what is held any more, nor reach back into it.
    held_.push_back(c);
    ReleaseHeld();
    return;
  }
  held_.push_back(c);
  states_.push_back(state_);
  if (state_ == begin_.size()) OpenBlock();
}

std::size_t BlockStage::Absorb(std::string_view input) {
  if (!inBlock_) return 0;
  std::size_t k = 0;
  for (; k < input.size() && router().ReachesUntouched(input[k], index()); ++k) {
    const char c = input[k];
    // Only the end text's first byte can move the automaton away from 0.
    if (endState_ == 0 && FoldByte(static_cast<unsigned char>(c)) != endFirst_) continue;
    endState_ = end_.Next(endState_, c);
    if (endState_ == end_.size()) {
      held_.append(input.substr(0, k + 1));
      CloseBlock(held_.size());
      Settle();
      return k + 1;
    }
  }
  held_.append(input.substr(0, k));
  return k;
}

void BlockStage::OpenBlock() {
  inBlock_ = true;
  blockStart_ = held_.size() - begin_.size();
  endState_ = 0;
  // The end text is searched from one byte after the start of the begin text.
  for (std::size_t k = blockStart_ + 1; k < held_.size(); ++k) {
    endState_ = end_.Next(endState_, held_[k]);
    if (endState_ == end_.size()) {
      CloseBlock(k + 1);
      return;
    }
  }
}

void BlockStage::CloseBlock(std::size_t blockEnd) {
  // Bytes of the begin text after an end text inside it are read again.
  const std::string rest = held_.substr(blockEnd);
  held_.resize(blockStart_);
  states_.resize(blockStart_);
  state_ = states_.empty() ? 0 : states_.back();
  inBlock_ = false;
  MarkEdited();
  ReadAgain(rest);
  ReadAgain(replacement_);
}

void BlockStage::ReleaseHeld() {
  Emit(held_);
  held_.clear();
  states_.clear();
}

void BlockStage::Flush() {
  // An unterminated block ends the loop: everything held stays as it is.
  ReleaseHeld();
  inBlock_ = false;
  state_ = 0;
}

}  // namespace quillmere::detail
