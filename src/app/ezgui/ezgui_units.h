// Form units and pixels.
//
// The rule: one form unit down is the line height of the application's
// font face at 10 points (font 4; QFontMetrics::height), one form unit
// across is half of that
// line height. A character cell of the default font is thus about one unit
// wide and one unit high, so a layout in form units keeps its proportions
// whatever font size the desktop uses. The main form (122 by 40 units) is
// about 980 by 650 pixels with a 16-pixel line height.
//
// Units are taken once, when the layer first needs them after start-up or
// after ezResetLayer; a font change later does not move existing windows.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

struct EzUnitSize {
  double across = 8.0;  // pixels per unit horizontally
  double down = 16.0;   // pixels per unit vertically
};

EzUnitSize ezUnitSizeFor(int lineHeightPixels);
EzUnitSize ezUnits();

int ezPixelsX(float units);
int ezPixelsY(float units);
float ezUnitsX(int pixels);
float ezUnitsY(int pixels);
QRect ezRectFromUnits(float x, float y, float width, float height);
