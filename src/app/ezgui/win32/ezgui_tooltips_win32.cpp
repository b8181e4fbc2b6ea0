// Tooltips over the common controls' own. Each is asked for when it is
// about to show: event 8 goes to the event routine, which answers with
// EZ_SETTOOLTIP; no answer, no tooltip. The look is the desktop's.
// commctrl.h needs the types of windows.h, which the layer's state brings.
#include "app/ezgui/win32/ezgui_win32_state.h"

#include <commctrl.h>

namespace {

HWND tooltipsOf(EzwForm& form) {
  if (form.tooltips) return form.tooltips;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  // Owned by the form's window, it goes with it.
  form.tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form.window, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  // Long texts wrap instead of running across the screen.
  if (form.tooltips) SendMessageW(form.tooltips, TTM_SETMAXTIPWIDTH, 0, 400);
  return form.tooltips;
}

}  // namespace

bool ezwTooltipNotify(EzwForm& form, NMHDR& header) {
  if (header.code != TTN_GETDISPINFOW || header.hwndFrom != form.tooltips) return false;
  auto& request = reinterpret_cast<NMTTDISPINFOW&>(header);
  const auto tool = reinterpret_cast<HWND>(header.idFrom);
  request.szText[0] = L'\0';
  request.lpszText = request.szText;
  int id = -1;
  for (const auto& [number, control] : form.controls) {
    if (control.window == tool) id = number;
  }
  if (id < 0) return true;
  EzWin.tooltipAnswered = false;
  EzWin.tooltipAnswer.clear();
  ezwDeliver(form.serial, id, EzTooltipWanted, 0);
  if (EzWin.tooltipAnswered && !EzWin.tooltipAnswer.empty()) {
    EzWin.tooltipShown = ezwFromBytes(EzWin.tooltipAnswer);
    request.lpszText = EzWin.tooltipShown.data();
  }
  return true;
}

void EZ_ADDTOOLTIP(const std::string& form, int id) {
  if (!ezwOnGuiThread()) return;
  EzwForm* f = ezwFindForm(form);
  EzwControl* control = ezwFindControl(form, id);
  if (!f || !control) return;
  const HWND tooltips = tooltipsOf(*f);
  if (!tooltips) return;
  // A static text lets the mouse through to the form unless it notifies;
  // the tooltip must see the mouse on it.
  if (control->kind == EzwKind::Label || control->kind == EzwKind::Picture) {
    const LONG_PTR style = GetWindowLongPtrW(control->window, GWL_STYLE);
    SetWindowLongPtrW(control->window, GWL_STYLE, style | SS_NOTIFY);
  }
  TTTOOLINFOW tool{};
  // The size every version of the common controls takes, not only 6.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = f->window;
  tool.uId = reinterpret_cast<UINT_PTR>(control->window);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void EZ_SETTOOLTIP(const std::string& text) {
  EzWin.tooltipAnswer = text;
  EzWin.tooltipAnswered = true;
}

// The look of tooltips is the desktop's.
void EZ_DEFTOOLTIPPROP(int, int, const std::string&) {}
