#include "progress.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quillmere {
namespace {

__extension__ typedef __int128 Int128;

// The percentage worked out exactly from the quotient 100.0 / total as the
// double it rounds to: the product with `step` is formed exactly in 128-bit
// integers, then rounded to double by hand and truncated.
int ExactPercent(int step, int total) {
  const int whole = 100 * step / total;
  // Away from a whole number the rounding errors (far below 1/total) cannot
  // cross it.
  if (100 * step % total != 0) return whole;
  int exponent = 0;
  const double fraction = std::frexp(100.0 / total, &exponent);
  // quotient = mantissa * 2^(exponent - 53), mantissa a 53-bit integer.
  const auto mantissa = static_cast<Int128>(std::ldexp(fraction, 53));
  const int scale = 53 - exponent + 2;  // two more bits for the half gap below
  const Int128 product = mantissa * step * 4;
  const Int128 target = static_cast<Int128>(whole) << scale;
  if (product >= target) return whole;
  // The double just below `whole` lies 2^(j-52) away, or 2^(j-53) when
  // `whole` is a power of two 2^j; the product rounds up to `whole` when it is
  // within half that gap (a tie goes to `whole`, whose mantissa is even).
  const int j = std::ilogb(static_cast<double>(whole));
  const bool powerOfTwo = (whole & (whole - 1)) == 0;
  const int gapExponent = j - (powerOfTwo ? 53 : 52) - 1 + scale;
  const Int128 halfGap = static_cast<Int128>(1) << gapExponent;
  return target - product <= halfGap ? whole : whole - 1;
}

TEST(ProgressPercentTest, MatchesTheExactWorkingForEveryStepOfTotalsUpTo1000) {
  for (int total = 1; total <= 1000; ++total) {
    for (int step = 1; step <= total; ++step) {
      ASSERT_EQ(ProgressPercent(step, total), ExactPercent(step, total))
          << "step " << step << " of " << total;
    }
  }
}

TEST(ProgressPercentTest, SmallestTotalsWhoseLastStepShows99) {
  std::vector<int> totals;
  for (int total = 1; total <= 199; ++total) {
    const int last = ProgressPercent(total, total);
    ASSERT_TRUE(last == 100 || last == 99) << total;
    if (last == 99) totals.push_back(total);
  }
  EXPECT_EQ(totals, (std::vector<int>{97, 161, 167, 193, 194, 195, 199}));
}

TEST(ProgressPercentTest, TruncatesRatherThanRounds) {
  EXPECT_EQ((std::vector<int>{ProgressPercent(1, 4), ProgressPercent(2, 4), ProgressPercent(3, 4),
                              ProgressPercent(4, 4)}),
            (std::vector<int>{25, 50, 75, 100}));
  EXPECT_EQ((std::vector<int>{ProgressPercent(1, 3), ProgressPercent(2, 3), ProgressPercent(3, 3)}),
            (std::vector<int>{33, 66, 100}));
  EXPECT_EQ(ProgressPercent(1, 1000), 0);
}

}  // namespace
}  // namespace quillmere
