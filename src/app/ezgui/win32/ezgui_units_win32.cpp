// Form units over Win32: the line height of the rule (../ezgui_units.h),
// that of the desktop's message font at 10 points, which is also the face
// the layer's controls show their text in, at the DPI the layer draws for
// (ezgui_dpi_win32).
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

HFONT messageFaceAt10Points() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW face{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    face = metrics.lfMessageFont;
  }
  face.lfHeight = -MulDiv(10, static_cast<int>(ezwDpi()), 72);
  face.lfWidth = 0;
  return CreateFontIndirectW(&face);
}

}  // namespace

HFONT ezwControlFont() {
  if (!EzWin.controlFont) EzWin.controlFont = messageFaceAt10Points();
  return EzWin.controlFont;
}

int ezBackendLineHeight() {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ before = SelectObject(screen, ezwControlFont());
  TEXTMETRICW text{};
  const bool measured = GetTextMetricsW(screen, &text) != 0;
  SelectObject(screen, before);
  ReleaseDC(nullptr, screen);
  return measured && text.tmHeight > 0 ? text.tmHeight : 16;
}
