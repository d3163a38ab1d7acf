#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cleaning_options.h"

namespace quillmere {

// What one cleaning group did to a text: its caption, and the text's length
// before and after it.
struct GroupChange {
  std::string caption;
  std::uint64_t before = 0;
  std::uint64_t after = 0;
  bool changed = false;
};

// Cleans `text` group by group in the pass's order, as a run would, telling
// what each enabled group did; `cleaned` is the text at the end.
std::vector<GroupChange> CleanGroupByGroup(const std::string& text, const CleaningOptions& options,
                                           std::string& cleaned);

}  // namespace quillmere
