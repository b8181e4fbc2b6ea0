// Colours over Win32: the layer's numbered colours (../ezgui_colours.h) as
// COLORREFs, and the desktop's scheme for the system colour indices.
#include "app/ezgui/win32/ezgui_win32_state.h"

COLORREF ezwColourRef(EzRgb colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

COLORREF ezwColour(int number) {
  const std::optional<EzRgb> colour = ezColourRgb(number);
  return colour ? ezwColourRef(*colour) : CLR_INVALID;
}

EzRgb ezBackendSystemColour(int systemIndex) {
  const COLORREF c = GetSysColor(systemIndex);
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}
