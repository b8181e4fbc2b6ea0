// Form units over Qt: the line height of the rule (../ezgui_units.h).
#include <QApplication>
#include <QFontMetrics>

#include "app/ezgui/qt/ezgui_state.h"

int ezBackendLineHeight() {
  // Font 4, the application's face at 10 points: desktops whose default
  // is smaller would otherwise squeeze the texts the forms were laid out for.
  QFont reference = QApplication::font();
  reference.setPointSizeF(10);
  return QFontMetrics(reference).height();
}

QRect ezRectFromUnits(float x, float y, float width, float height) {
  const int left = ezPixelsX(x);
  const int top = ezPixelsY(y);
  // Edges are rounded, not sizes, so neighbours that touch in units touch in pixels.
  return QRect(QPoint(left, top), QPoint(ezPixelsX(x + width) - 1, ezPixelsY(y + height) - 1));
}
