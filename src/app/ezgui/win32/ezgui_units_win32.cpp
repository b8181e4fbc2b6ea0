// Form units and pixels, by the same rule as the layer over Qt: one form
// unit down is the line height of the application's face (the desktop's
// message font) at 10 points, one unit across is half of it. A layout in
// form units thus keeps its proportions whatever the screen's DPI.
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

HFONT messageFaceAt10Points() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW face{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    face = metrics.lfMessageFont;
  }
  const HDC screen = GetDC(nullptr);
  face.lfHeight = -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72);
  face.lfWidth = 0;
  ReleaseDC(nullptr, screen);
  return CreateFontIndirectW(&face);
}

int lineHeightOfMessageFaceAt10Points() {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ before = SelectObject(screen, ezwControlFont());
  TEXTMETRICW text{};
  const bool measured = GetTextMetricsW(screen, &text) != 0;
  SelectObject(screen, before);
  ReleaseDC(nullptr, screen);
  return measured && text.tmHeight > 0 ? text.tmHeight : 16;
}

const EzwUnits& units() {
  if (!EzWin.unitsKnown) {
    const int line = lineHeightOfMessageFaceAt10Points();
    EzWin.units.down = line;
    EzWin.units.across = line / 2.0;
    EzWin.unitsKnown = true;
  }
  return EzWin.units;
}

int rounded(double value) {
  return static_cast<int>(value < 0 ? value - 0.5 : value + 0.5);
}

}  // namespace

HFONT ezwControlFont() {
  if (!EzWin.controlFont) EzWin.controlFont = messageFaceAt10Points();
  return EzWin.controlFont;
}

int ezwPixelsX(float value) {
  return rounded(value * units().across);
}

int ezwPixelsY(float value) {
  return rounded(value * units().down);
}

float ezwUnitsX(int pixels) {
  return static_cast<float>(pixels / units().across);
}

float ezwUnitsY(int pixels) {
  return static_cast<float>(pixels / units().down);
}
