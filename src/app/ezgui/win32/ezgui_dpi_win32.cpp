// The DPI the layer draws for: that of the main window's monitor. The
// program asks to be drawn for each monitor's DPI (its manifest), so the
// system no longer stretches its windows as pictures; in return, when the
// main window moves to a monitor of another DPI (WM_DPICHANGED), the form
// units, every font and every control's place are made anew for it, and
// the window takes the place and size the system suggests.
//
// Form units and fonts are the whole program's: another form moved to a
// monitor of its own DPI takes the suggested place only.
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

// GetDpiForWindow is Windows 10's: looked up by name.
UINT dpiOfWindow(HWND window) {
  using DpiFor = UINT(WINAPI*)(HWND);
  const auto dpiFor = reinterpret_cast<DpiFor>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  return dpiFor ? dpiFor(window) : 0;
}

UINT desktopDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// Each font once, at the new DPI; the old ones stay until the end, as a
// window may still hold one.
class FontRescaler {
 public:
  FontRescaler(UINT before, UINT after) : before_(before), after_(after) {
    const HFONT oldControlFont = EzWin.controlFont;
    if (oldControlFont) {
      EzWin.madeFonts.push_back(oldControlFont);
      EzWin.controlFont = nullptr;
      done_[oldControlFont] = ezwControlFont();
    }
  }

  HFONT operator()(HFONT font) {
    if (!font) return font;
    if (const auto it = done_.find(font); it != done_.end()) return it->second;
    LOGFONTW face{};
    if (!GetObjectW(font, sizeof face, &face)) return font;
    face.lfHeight = MulDiv(face.lfHeight, static_cast<int>(after_), static_cast<int>(before_));
    face.lfWidth = MulDiv(face.lfWidth, static_cast<int>(after_), static_cast<int>(before_));
    const HFONT scaled = CreateFontIndirectW(&face);
    if (!scaled) return font;
    EzWin.madeFonts.push_back(scaled);
    done_[font] = scaled;
    return scaled;
  }

 private:
  UINT before_;
  UINT after_;
  std::map<HFONT, HFONT> done_;
};

void placeAnew(EzwControl& control, FontRescaler& rescale) {
  // The rich view keeps the font the program gave its text in points.
  if (control.kind != EzKind::RichView) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control.window, WM_GETFONT, 0, 0));
    if (font) SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(rescale(font)), 0);
  }
  if (control.placed) {
    MoveWindow(control.window, ezPixelsX(control.x), ezPixelsY(control.y), ezPixelsX(control.width),
               ezPixelsY(control.height), FALSE);
  }
}

void redrawAt(UINT before, UINT after) {
  EzWin.dpi = after;
  ezForgetUnits();
  FontRescaler rescale(before, after);
  for (auto& [number, font] : EzWin.fonts) font = rescale(font);
  EzWin.nextFont = rescale(EzWin.nextFont);
  for (auto& [key, form] : EzWin.forms) {
    for (auto& [id, control] : form->controls) {
      if (control.window) placeAnew(control, rescale);
    }
    ezwLayOutStatusBars(*form);
    RedrawWindow(form->window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

}  // namespace

UINT ezwDpi() {
  return EzWin.dpi ? EzWin.dpi : desktopDpi();
}

void ezwTakeDpiOf(HWND window) {
  if (EzWin.dpi) return;
  const UINT dpi = dpiOfWindow(window);
  if (dpi && dpi != ezwDpi()) {
    redrawAt(ezwDpi(), dpi);
  } else if (dpi) {
    EzWin.dpi = dpi;
  }
}

void ezwDpiChanged(EzwForm& form, UINT dpi, const RECT& suggested) {
  // The main form, or the first form while it is being made.
  const bool mainForm = form.parentKey.empty() &&
                        (EzForms.mainFormKey.empty() || ezKey(form.name) == EzForms.mainFormKey);
  if (mainForm && dpi && dpi != ezwDpi()) redrawAt(ezwDpi(), dpi);
  SetWindowPos(form.window, nullptr, suggested.left, suggested.top,
               suggested.right - suggested.left, suggested.bottom - suggested.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}
