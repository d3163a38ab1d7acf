#pragma once

namespace quillmere {

// Percentage shown for the 1-based `step` of `total`: 100.0 / total in double
// precision, times step, truncated toward zero (so the 97th of 97 shows 99).
int ProgressPercent(int step, int total);

}  // namespace quillmere
