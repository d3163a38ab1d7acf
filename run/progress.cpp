#include "progress.h"

namespace quillmere {

int ProgressPercent(int step, int total) {
  if (total <= 0) return 0;
  // The quotient is rounded to double before the multiplication, which is why
  // the last step of some totals shows 99.
  const double perStep = 100.0 / static_cast<double>(total);
  return static_cast<int>(perStep * static_cast<double>(step));
}

}  // namespace quillmere
