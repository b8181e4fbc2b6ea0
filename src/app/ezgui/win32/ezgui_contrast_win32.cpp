// Whether the desktop is in a High Contrast theme, in which the layer
// paints in the system's colours instead of the fixed ones of the program
// and of its own. Asked at each paint, so a theme switched on or off shows
// at the next one; a form repaints when the system says its colours or
// settings changed. Tests put their own answer here, as Wine's desktop
// cannot switch the theme on.
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

bool systemSaysHighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

bool (*ezwHighContrastQuery)() = systemSaysHighContrast;

bool ezwHighContrast() {
  return ezwHighContrastQuery();
}

void ezwColoursChanged(EzwForm& form, UINT message, WPARAM wParam, LPARAM lParam) {
  // The common controls learn of new colours only from their window.
  if (message == WM_SYSCOLORCHANGE) {
    for (const auto& [id, control] : form.controls) {
      if (control.window) SendMessageW(control.window, message, wParam, lParam);
    }
  }
  RedrawWindow(form.window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}
