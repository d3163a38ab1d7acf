#include "edit_stage.h"

#include <bit>

#include "text_search.h"

namespace quillmere::detail {

PatternAutomaton::PatternAutomaton(std::string_view pattern, bool caseSensitive)
    : pattern_(pattern), fold_(!caseSensitive), failure_(pattern.size(), 0) {
  if (fold_) {
    for (char& c : pattern_) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
  }
  std::uint32_t k = 0;
  for (std::size_t q = 1; q < pattern_.size(); ++q) {
    while (k > 0 && pattern_[k] != pattern_[q]) k = failure_[k - 1];
    if (pattern_[k] == pattern_[q]) ++k;
    failure_[q] = k;
  }
}

std::uint32_t PatternAutomaton::Next(std::uint32_t state, char c) const {
  const auto x = fold_ ? static_cast<char>(FoldByte(static_cast<unsigned char>(c))) : c;
  if (state == size()) state = failure_[state - 1];
  while (state > 0 && pattern_[state] != x) state = failure_[state - 1];
  return pattern_[state] == x ? state + 1 : state;
}

void StageRouter::Attach(EditStage& stage, std::string_view pattern) {
  const std::uint64_t bit = std::uint64_t{1} << stages_.size();
  stages_.push_back(&stage);
  const auto fold = [](char c) { return FoldByte(static_cast<unsigned char>(c)); };
  const unsigned char first = fold(pattern.front());
  starts_.push_back({first, pattern.size() > 1 ? fold(pattern[1]) : first, pattern.size() == 1});
  for (unsigned c = 0; c < 256; ++c) {
    if (FoldByte(static_cast<unsigned char>(c)) == first) startsWith_[c] |= bit;
  }
}

void StageRouter::Deliver(std::size_t from, char c) {
  const std::uint64_t later = from < 64 ? ~std::uint64_t{0} << from : 0;
  const std::uint64_t takers = (busy_ | startsWith_[static_cast<unsigned char>(c)]) & later;
  if (takers == 0) {
    output_->Put(c);
  } else {
    stages_[static_cast<std::size_t>(std::countr_zero(takers))]->Put(c);
  }
}

bool StageRouter::PassesUnchanged(const Start& start, std::string_view run) const {
  for (std::size_t j = 0; j < run.size(); ++j) {
    if (FoldByte(static_cast<unsigned char>(run[j])) != start.first) continue;
    if (start.oneByte || j + 1 == run.size()) return false;
    if (FoldByte(static_cast<unsigned char>(run[j + 1])) == start.second) return false;
  }
  return true;
}

void StageRouter::Deliver(std::size_t from, std::string_view run) {
  if (run.size() == 1) {
    Deliver(from, run.front());
    return;
  }
  std::uint64_t touched = busy_;
  for (const char c : run) touched |= startsWith_[static_cast<unsigned char>(c)];
  std::uint64_t takers = touched & (from < 64 ? ~std::uint64_t{0} << from : 0);
  for (; takers != 0; takers &= takers - 1) {
    const auto k = static_cast<std::size_t>(std::countr_zero(takers));
    if ((busy_ >> k & 1) != 0 || !PassesUnchanged(starts_[k], run)) {
      stages_[k]->Put(run);
      return;
    }
  }
  output_->Put(run);
}

EditStage* StageRouter::SoleBusy() const {
  if (!std::has_single_bit(busy_)) return nullptr;
  return stages_[static_cast<std::size_t>(std::countr_zero(busy_))];
}

void StageRouter::SetBusy(std::size_t index, bool busy) {
  const std::uint64_t bit = std::uint64_t{1} << index;
  busy_ = busy ? (busy_ | bit) : (busy_ & ~bit);
}

void EditStage::Put(char c) {
  Process(c);
  while (!reread_.empty()) {
    const char next = reread_.back();
    reread_.pop_back();
    Process(next);
  }
  UpdateBusy();
}

void EditStage::Finish() {
  Flush();
  UpdateBusy();
}

void EditStage::ReadAgain(std::string_view text) {
  reread_.append(text.rbegin(), text.rend());
}

void EditStage::UpdateBusy() {
  const bool busy = !Idle();
  if (busy == busy_) return;
  busy_ = busy;
  router_.SetBusy(index_, busy);
}

ReplaceStage::ReplaceStage(StageRouter& router, std::size_t index, std::string_view target,
                           std::string_view replacement, bool caseSensitive, bool rescan)
    : EditStage(router, index),
      target_(target, caseSensitive),
      replacement_(replacement),
      rescan_(rescan) {}

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

void ReplaceStage::Flush() {
  Emit(held_);
  held_.clear();
  state_ = 0;
}

BlockStage::BlockStage(StageRouter& router, std::size_t index, std::string_view begin,
                       std::string_view end, std::string_view replacement)
    : EditStage(router, index), begin_(begin, false), end_(end, false), replacement_(replacement) {}

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
  std::size_t taken = 0;
  while (inBlock_ && taken < input.size() && router().ReachesUntouched(input[taken], index())) {
    Put(input[taken++]);
  }
  return taken;
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
