#include "dialog_units.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>

namespace quillmere {
namespace {

int Scale(int units, double base, int divisor) {
  return static_cast<int>(std::lround(units * base / divisor));
}

// Base units that give `pixels` to `units` dialog units, with one pixel to
// spare for the rounding of both edges.
double UnitsFor(double pixels, int units, int divisor) {
  if (units <= 0 || pixels <= 0) return 0;
  return (std::ceil(pixels) + 1.0) * divisor / units;
}

}  // namespace

BaseUnits FontBaseUnits(const QFontMetricsF& metrics) {
  static const QString kLetters =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {metrics.horizontalAdvance(kLetters) / static_cast<double>(kLetters.size()),
          std::ceil(metrics.height())};
}

QRect DialogUnitsToPixels(const BaseUnits& units, int x, int y, int width, int height) {
  const int left = Scale(x, units.x, 4);
  const int top = Scale(y, units.y, 8);
  const int right = Scale(x + width, units.x, 4);
  const int bottom = Scale(y + height, units.y, 8);
  return QRect(left, top, right - left, bottom - top);
}

BaseUnits FitBaseUnits(BaseUnits base, const std::vector<ControlNeed>& needs) {
  for (const ControlNeed& need : needs) {
    base.x = std::max(base.x, UnitsFor(need.widthPixels, need.widthUnits, 4));
    base.y = std::max(base.y, UnitsFor(need.heightPixels, need.heightUnits, 8));
  }
  return base;
}

}  // namespace quillmere
