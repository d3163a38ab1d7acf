#pragma once

#include <QRect>
#include <vector>

class QFontMetricsF;

namespace quillmere {

// Pixels per four horizontal and per eight vertical dialog units.
struct BaseUnits {
  double x = 0;
  double y = 0;
};

// The base units of a font: its average letter width and its line height.
BaseUnits FontBaseUnits(const QFontMetricsF& metrics);

// A rectangle in dialog units as pixels. Edges are rounded separately, so
// controls that touch in dialog units touch in pixels.
QRect DialogUnitsToPixels(const BaseUnits& units, int x, int y, int width, int height);

// What a control needs: its size in dialog units and the pixels its caption
// (or content) takes. A need of 0 pixels asks nothing in that direction.
struct ControlNeed {
  int widthUnits = 0;
  int heightUnits = 0;
  double widthPixels = 0;
  double heightPixels = 0;
};

// The smallest base units, no smaller than `base`, that give every control
// at least the pixels it needs after rounding.
BaseUnits FitBaseUnits(BaseUnits base, const std::vector<ControlNeed>& needs);

}  // namespace quillmere
