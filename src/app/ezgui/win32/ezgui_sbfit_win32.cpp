// A status bar part's text fitted to the part: a text too long for it
// loses its middle, where a long file name's folders are, to an ellipsis,
// and shows whole as the part's tooltip. The layer keeps the whole text;
// reading it back gives that, not what the part shows.
// commctrl.h needs the types of windows.h, which the layer's state brings.
#include "app/ezgui/win32/ezgui_win32_state.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr wchar_t kEllipsis = L'\u2026';

int widthOf(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

std::wstring keeping(const std::wstring& whole, size_t kept) {
  const size_t head = (kept + 1) / 2;
  const size_t tail = kept / 2;
  return whole.substr(0, head) + kEllipsis + whole.substr(whole.size() - tail);
}

// The most of the text's start and end that fits `room` pixels around an
// ellipsis; the whole text when it fits as it is.
std::wstring elidedInTheMiddle(HDC dc, const std::wstring& whole, int room) {
  if (widthOf(dc, whole) <= room) return whole;
  size_t low = 0, high = whole.size() - 1;  // `low` characters always fit
  while (low < high) {
    const size_t mid = (low + high + 1) / 2;
    if (widthOf(dc, keeping(whole, mid)) <= room) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  return keeping(whole, low);
}

// The room the bar leaves for a part's text: the part less its sunken
// border and the bar's indent, with a character to spare.
int roomOf(HWND bar, HDC dc, int index) {
  RECT part{};
  SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&part));
  const int borders = 2 * GetSystemMetrics(SM_CXEDGE) + 6;
  return part.right - part.left - borders - widthOf(dc, L"x");
}

HWND tipsOf(EzwControl& bar, HWND form) {
  if (bar.partTips) return bar.partTips;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  // Owned by the form's window, it goes with it.
  bar.partTips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  if (bar.partTips) SendMessageW(bar.partTips, TTM_SETMAXTIPWIDTH, 0, 600);
  return bar.partTips;
}

// The part's tooltip: the whole text while the part shows less of it.
void setPartTip(EzwControl& bar, HWND form, int index, const std::wstring& whole, bool cut) {
  const HWND tips = tipsOf(bar, form);
  if (!tips) return;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = bar.window;
  tool.uId = static_cast<UINT_PTR>(index) + 1;
  SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (!cut) return;
  SendMessageW(bar.window, SB_GETRECT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&tool.rect));
  std::wstring text = whole;
  tool.lpszText = text.data();
  SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

void ezwFitStatusParts(EzwControl& bar, HWND form) {
  const HDC dc = GetDC(bar.window);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(bar.window, WM_GETFONT, 0, 0));
  const HGDIOBJ before = SelectObject(dc, font ? font : ezwControlFont());
  for (size_t i = 0; i < bar.partTexts.size(); ++i) {
    const int index = static_cast<int>(i);
    const std::wstring whole = ezwFromBytes(bar.partTexts[i]);
    const std::wstring shown =
        whole.empty() ? whole
                      : elidedInTheMiddle(dc, whole, std::max(roomOf(bar.window, dc, index), 0));
    SendMessageW(bar.window, SB_SETTEXTW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(shown.c_str()));
    setPartTip(bar, form, index, whole, shown != whole);
  }
  SelectObject(dc, before);
  ReleaseDC(bar.window, dc);
}

std::string ezwStatusText(const std::string& form, int id, int part) {
  const EzwControl* bar = ezwFindControl(form, id);
  if (!bar || bar->kind != EzKind::StatusBar || part < 1) return "";
  const auto index = static_cast<size_t>(part - 1);
  return index < bar->partTexts.size() ? bar->partTexts[index] : "";
}
