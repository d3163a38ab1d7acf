#include "stage_router.h"

#include <bit>

#include "text_search.h"

namespace quillmere::detail {
namespace {

unsigned char Fold(char c) {
  return FoldByte(static_cast<unsigned char>(c));
}

}  // namespace

void RouteTable::Add(std::string_view pattern) {
  const StageSet bit = StageSet{1} << count_++;
  const unsigned char first = Fold(pattern.front());
  if (firstSlot_[first] == 0) {
    reactions_.emplace_back();
    firstSlot_[first] = static_cast<std::uint8_t>(reactions_.size());
  }
  BySecondByte& reactions = reactions_[firstSlot_[first] - 1];
  for (unsigned c = 0; c < 256; ++c) {
    const unsigned char folded = FoldByte(static_cast<unsigned char>(c));
    if (folded == first) startsWith_[c] |= bit;
    if (pattern.size() == 1 || folded == Fold(pattern[1])) reactions[c] |= bit;
    if (pattern.size() <= 2 || folded == Fold(pattern[2])) thirdFits_[c] |= bit;
  }
}

RouteTable::StageSet RouteTable::Reacting(std::string_view run) const {
  StageSet reacting = 0;
  const std::size_t last = run.size() - 1;
  for (std::size_t j = 0; j < last; ++j) {
    const std::uint8_t slot = firstSlot_[Fold(run[j])];
    if (slot == 0) continue;
    StageSet pair = reactions_[slot - 1][static_cast<unsigned char>(run[j + 1])];
    if (j + 2 <= last) pair &= thirdFits_[static_cast<unsigned char>(run[j + 2])];
    reacting |= pair;
  }
  // The last byte may begin a pattern that goes on in what comes next.
  return reacting | startsWith_[static_cast<unsigned char>(run[last])];
}

void StageRouter::Deliver(std::size_t from, std::string_view run) {
  const StageSet takers = (busy_ | table_.Reacting(run)) & Later(from);
  if (takers == 0) {
    output_->Put(run);
  } else {
    stages_[static_cast<std::size_t>(std::countr_zero(takers))]->Put(run);
  }
}

std::size_t StageRouter::SoleBusy() const {
  if (busy_ == 0 || (busy_ & (busy_ - 1)) != 0) return kMaxStages;
  return static_cast<std::size_t>(std::countr_zero(busy_));
}

}  // namespace quillmere::detail
