// Colours by number: a fixed palette of 32, which the program may change
// one by one to a colour of its own or of the desktop's scheme; and the
// colours of the next forms and controls.
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr COLORREF kPalette[32] = {
    RGB(0, 0, 0),       RGB(0, 0, 128),     RGB(0, 128, 0),     RGB(0, 128, 128),
    RGB(128, 0, 0),     RGB(128, 0, 128),   RGB(128, 128, 0),   RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(0, 0, 255),     RGB(0, 192, 0),     RGB(0, 255, 255),
    RGB(230, 40, 40),   RGB(255, 0, 255),   RGB(255, 255, 0),   RGB(255, 255, 255),
    RGB(224, 224, 224), RGB(170, 200, 255), RGB(150, 230, 150), RGB(190, 245, 245),
    RGB(255, 170, 170), RGB(245, 190, 245), RGB(200, 210, 230), RGB(255, 250, 215),
    RGB(255, 150, 0),   RGB(150, 90, 40),   RGB(0, 0, 96),      RGB(96, 96, 0),
    RGB(0, 110, 110),   RGB(140, 60, 200),  RGB(230, 190, 40),  RGB(200, 200, 210),
};

}  // namespace

COLORREF ezwColour(int number) {
  if (const auto it = EzWin.colours.find(number); it != EzWin.colours.end()) return it->second;
  if (number < 0 || number >= 32) return CLR_INVALID;
  return kPalette[number];
}

void EZ_DEFSYSTEMCOLOR(int number, int systemIndex) {
  EzWin.colours[number] = GetSysColor(systemIndex);
}

void EZ_DEFCOLORL(int number, int bgr) {
  // 0x00BBGGRR is a COLORREF as it stands.
  EzWin.colours[number] = static_cast<COLORREF>(bgr) & 0x00FFFFFF;
}

void EZ_COLOR(int foreground, int background) {
  EzWin.foreground = foreground;
  EzWin.background = background;
}
