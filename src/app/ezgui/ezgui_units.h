// Form units and pixels, the same rule on every platform: one form unit
// down is the line height of the application's face at 10 points (font 4),
// one unit across is half of that line height. A character cell of the
// default font is thus about one unit wide and one unit high, so a layout
// in form units keeps its proportions whatever font size or DPI the desktop
// uses. The main form (122 by 40 units) is about 980 by 650 pixels with a
// 16-pixel line height.
//
// Units are taken once, when the layer first needs them after start-up or
// after ezForgetUnits; a font change later does not move existing windows.
#pragma once

struct EzUnitSize {
  double across = 8.0;  // pixels per unit horizontally
  double down = 16.0;   // pixels per unit vertically
};

// The rule itself: a line height of 0 or less counts as 16 pixels.
EzUnitSize ezUnitSizeFor(int lineHeightPixels);
// The units in use, measured through the backend on first use.
EzUnitSize ezUnits();
void ezForgetUnits();

// Rounded half away from zero.
int ezPixelsX(float units);
int ezPixelsY(float units);
float ezUnitsX(int pixels);
float ezUnitsY(int pixels);
