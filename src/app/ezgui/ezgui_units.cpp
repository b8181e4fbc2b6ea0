#include "app/ezgui/ezgui_units.h"

#include <QApplication>
#include <QFontMetrics>
#include <cmath>

#include "app/ezgui/ezgui_state.h"

EzUnitSize ezUnitSizeFor(int lineHeightPixels) {
  const double down = lineHeightPixels > 0 ? lineHeightPixels : 16.0;
  return EzUnitSize{down / 2.0, down};
}

EzUnitSize ezUnits() {
  if (!EzLayer.unitsKnown) {
    // Font 4, the application's face at 10 points: desktops whose default
    // is smaller would otherwise squeeze the texts the forms were laid out for.
    QFont reference = QApplication::font();
    reference.setPointSizeF(10);
    EzLayer.units = ezUnitSizeFor(QFontMetrics(reference).height());
    EzLayer.unitsKnown = true;
  }
  return EzLayer.units;
}

int ezPixelsX(float units) {
  return static_cast<int>(std::lround(units * ezUnits().across));
}

int ezPixelsY(float units) {
  return static_cast<int>(std::lround(units * ezUnits().down));
}

float ezUnitsX(int pixels) {
  return static_cast<float>(pixels / ezUnits().across);
}

float ezUnitsY(int pixels) {
  return static_cast<float>(pixels / ezUnits().down);
}

QRect ezRectFromUnits(float x, float y, float width, float height) {
  const int left = ezPixelsX(x);
  const int top = ezPixelsY(y);
  // Edges are rounded, not sizes, so neighbours that touch in units touch in pixels.
  return QRect(QPoint(left, top), QPoint(ezPixelsX(x + width) - 1, ezPixelsY(y + height) - 1));
}
