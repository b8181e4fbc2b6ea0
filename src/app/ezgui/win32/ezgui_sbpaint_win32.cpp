// The status bar drawn in colours of its own, light grey with black text,
// whatever the desktop's scheme: on the form's dark background, or in a
// dark scheme's colours, its texts would not stand out enough to read. The
// common control takes its colours from the scheme, so the layer draws the
// bar itself, part by part, from what the control holds. Under a High
// Contrast theme it takes the theme's colours, which are there to be read.
// commctrl.h needs the types of windows.h, which the layer's state brings.
#include "app/ezgui/win32/ezgui_win32_state.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

constexpr COLORREF kBarBackground = RGB(240, 240, 240);
constexpr COLORREF kBarText = RGB(0, 0, 0);
constexpr UINT_PTR kSubclassId = 1;

std::wstring partText(HWND bar, int index) {
  const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, index, 0));
  std::wstring text(length + 1u, L'\0');
  SendMessageW(bar, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return text;
}

void paint(HWND bar, HDC dc) {
  RECT client{};
  GetClientRect(bar, &client);
  const bool theme = ezwHighContrast();
  const HBRUSH background = CreateSolidBrush(theme ? GetSysColor(COLOR_BTNFACE) : kBarBackground);
  FillRect(dc, &client, background);
  DeleteObject(background);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0));
  const HGDIOBJ before = SelectObject(dc, font ? font : ezwControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, theme ? GetSysColor(COLOR_BTNTEXT) : kBarText);
  const int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
  // The indent matches the room the text is fitted to (ezgui_sbfit_win32).
  const int indent = GetSystemMetrics(SM_CXEDGE) + 3;
  for (int i = 0; i < std::max(parts, 1); ++i) {
    RECT part{};
    SendMessageW(bar, SB_GETRECT, i, reinterpret_cast<LPARAM>(&part));
    DrawEdge(dc, &part, BDR_SUNKENOUTER, BF_RECT);
    RECT text = part;
    InflateRect(&text, -indent, 0);
    const std::wstring shown = partText(bar, i);
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, before);
  if (GetWindowLongPtrW(bar, GWL_STYLE) & SBARS_SIZEGRIP) {
    const int side = GetSystemMetrics(SM_CXVSCROLL);
    RECT grip{client.right - side, client.bottom - side, client.right, client.bottom};
    DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}

LRESULT CALLBACK barProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      PAINTSTRUCT ps{};
      const HDC dc = message == WM_PAINT ? BeginPaint(bar, &ps) : reinterpret_cast<HDC>(wParam);
      paint(bar, dc);
      if (message == WM_PAINT) EndPaint(bar, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(bar, barProcedure, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(bar, message, wParam, lParam);
}

}  // namespace

void ezwPaintStatusBarItself(HWND bar) {
  SetWindowSubclass(bar, barProcedure, kSubclassId, 0);
}
