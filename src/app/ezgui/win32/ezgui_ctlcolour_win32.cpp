// Controls in the colours EZ_COLOR gave them, answered to the WM_CTLCOLOR*
// messages their form receives. Labels and option buttons without a
// background colour of their own, and labels made transparent, stand on
// the form's background as the program paints it (a picture, on the main
// window), as they do over Qt. Under a High Contrast theme every control
// is left to the system's colours.
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

HBRUSH brushOf(COLORREF colour) {
  HBRUSH& brush = EzWin.brushes[colour];
  if (!brush) brush = CreateSolidBrush(colour);
  return brush;
}

EzwControl* controlOf(EzwForm& form, HWND window) {
  for (auto& [id, control] : form.controls) {
    if (control.window == window) return &control;
  }
  return nullptr;
}

bool overForm(const EzwControl& control) {
  if (control.kind != EzKind::Label && control.kind != EzKind::Radio) return false;
  return control.transparent || ezwColour(control.background) == CLR_INVALID;
}

// The form's background, as its erase paints it, under the control: the
// control's device context is moved so the form's client area lines up.
void paintFormUnder(EzwForm& form, HWND control, HDC dc) {
  POINT origin{0, 0};
  MapWindowPoints(control, form.window, &origin, 1);
  POINT before{};
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, &before);
  ezwPaintBackground(form, dc);
  SetViewportOrgEx(dc, before.x, before.y, nullptr);
}

}  // namespace

LRESULT ezwControlColours(EzwForm& form, UINT message, HWND window, HDC dc) {
  const EzwControl* control = controlOf(form, window);
  if (!control || ezwHighContrast()) return 0;
  const COLORREF text = ezwColour(control->foreground);
  const COLORREF background = ezwColour(control->background);
  if (text == CLR_INVALID && background == CLR_INVALID && !overForm(*control)) return 0;
  // The system's colours first, where the control has none of its own.
  const LRESULT systems = DefWindowProcW(form.window, message, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(window));
  if (text != CLR_INVALID) SetTextColor(dc, text);
  if (overForm(*control)) {
    paintFormUnder(form, window, dc);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  if (background == CLR_INVALID) return systems;
  SetBkColor(dc, background);
  return reinterpret_cast<LRESULT>(brushOf(background));
}
