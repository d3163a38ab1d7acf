#include "dialog_units.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>

namespace quillmere {
namespace {

TEST(DialogUnits, ConvertsWithQuarterAndEighthOfTheBaseUnits) {
  const BaseUnits units{6.0, 13.0};
  EXPECT_EQ(DialogUnitsToPixels(units, 0, 0, 317, 214), QRect(0, 0, 476, 348));
  EXPECT_EQ(DialogUnitsToPixels(units, 10, 10, 60, 15), QRect(15, 16, 90, 25));
}

TEST(DialogUnits, ControlsThatTouchInUnitsTouchInPixels) {
  const BaseUnits units{7.3, 15.0};
  // "Add files" ends at 70, a neighbour starting there begins where it ends.
  const QRect left = DialogUnitsToPixels(units, 10, 10, 60, 15);
  const QRect right = DialogUnitsToPixels(units, 70, 25, 30, 15);
  EXPECT_EQ(left.right() + 1, right.left());
  EXPECT_EQ(left.bottom() + 1, right.top());
}

TEST(DialogUnits, FittingGrowsTheUnitsUntilEveryNeedIsMet) {
  const BaseUnits font{6.0, 13.0};
  const std::vector<ControlNeed> needs{
      {85, 10, 170.4, 0},   // a long check box caption
      {20, 8, 0, 15.0},     // a label taller than the font's line
      {30, 10, 10.0, 5.0},  // asks less than the font gives
  };
  const BaseUnits fitted = FitBaseUnits(font, needs);
  EXPECT_GT(fitted.x, font.x);
  EXPECT_GT(fitted.y, font.y);
  for (const ControlNeed& need : needs) {
    // Wherever the control sits, rounding must not take the room away.
    for (int at = 0; at < 40; ++at) {
      const QRect rect = DialogUnitsToPixels(fitted, at, at, need.widthUnits, need.heightUnits);
      EXPECT_GE(rect.width(), need.widthPixels) << at;
      EXPECT_GE(rect.height(), need.heightPixels) << at;
    }
  }
}

TEST(DialogUnits, FittingKeepsTheFontUnitsWhenEverythingFits) {
  const BaseUnits font{8.0, 16.0};
  const BaseUnits fitted = FitBaseUnits(font, {{60, 15, 40, 16}});
  EXPECT_DOUBLE_EQ(fitted.x, 8.0);
  EXPECT_DOUBLE_EQ(fitted.y, 16.0);
}

TEST(DialogUnits, FontUnitsFollowTheFont) {
  QFont small(QStringLiteral("DejaVu Sans"));
  small.setPixelSize(10);
  QFont large = small;
  large.setPixelSize(20);
  const BaseUnits a = FontBaseUnits(QFontMetricsF(small));
  const BaseUnits b = FontBaseUnits(QFontMetricsF(large));
  EXPECT_GT(a.x, 3.0);
  EXPECT_NEAR(b.x / a.x, 2.0, 0.2);
  EXPECT_GE(a.y, 10.0);
  EXPECT_GT(b.y, a.y);
}

}  // namespace
}  // namespace quillmere
