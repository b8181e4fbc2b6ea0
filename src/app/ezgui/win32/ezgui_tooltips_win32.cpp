// Tooltips over the common controls' own. Each is asked for when it is
// about to show: event 8 goes to the event routine, which answers with
// EZ_SETTOOLTIP; no answer, no tooltip. The look is the desktop's.
//
// A disabled control gets no mouse messages: they go to the form. So the
// form has one tool of its own (number 0) that stands for the disabled
// control the mouse is on, and covers just that control.
// commctrl.h needs the types of windows.h, which the layer's state brings.
#include "app/ezgui/win32/ezgui_win32_state.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kStandInTool = 0;

TTTOOLINFOW toolInfo(HWND form, UINT flags, UINT_PTR id) {
  TTTOOLINFOW tool{};
  // The size every version of the common controls takes, not only 6.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = flags;
  tool.hwnd = form;
  tool.uId = id;
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  return tool;
}

HWND tooltipsOf(EzwForm& form) {
  if (form.tooltips) return form.tooltips;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  // Owned by the form's window, it goes with it.
  form.tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form.window, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  if (!form.tooltips) return nullptr;
  // Long texts wrap instead of running across the screen.
  SendMessageW(form.tooltips, TTM_SETMAXTIPWIDTH, 0, 400);
  TTTOOLINFOW standIn = toolInfo(form.window, TTF_SUBCLASS, kStandInTool);
  SendMessageW(form.tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&standIn));
  return form.tooltips;
}

int controlOf(const EzwForm& form, HWND window) {
  for (const auto& [id, control] : form.controls) {
    if (control.window == window) return id;
  }
  return -1;
}

}  // namespace

bool ezwTooltipNotify(EzwForm& form, NMHDR& header) {
  if (header.code != TTN_GETDISPINFOW || header.hwndFrom != form.tooltips) return false;
  auto& request = reinterpret_cast<NMTTDISPINFOW&>(header);
  request.szText[0] = L'\0';
  request.lpszText = request.szText;
  const HWND tool = reinterpret_cast<HWND>(header.idFrom);
  int id = header.idFrom == kStandInTool ? form.tooltipStandIn : controlOf(form, tool);
  int value = 0;
  // Over a dropped-down list but no item of it: no tip.
  if (id <= 0 && !(ezwListItemUnderMouse(form, tool, id, value) && value > 0)) return true;
  EzWin.tooltipAnswered = false;
  EzWin.tooltipAnswer.clear();
  ezDeliver(form.serial, id, EzTooltipWanted, value);
  if (EzWin.tooltipAnswered && !EzWin.tooltipAnswer.empty()) {
    EzWin.tooltipShown = ezwFromBytes(EzWin.tooltipAnswer);
    request.lpszText = EzWin.tooltipShown.data();
  }
  return true;
}

void ezwTooltipMouseMove(EzwForm& form, POINT at) {
  if (!form.tooltips) return;
  const HWND under = ChildWindowFromPointEx(form.window, at, CWP_SKIPINVISIBLE);
  const int id = under && under != form.window ? controlOf(form, under) : -1;
  const auto it = form.controls.find(id);
  const bool standIn =
      it != form.controls.end() && it->second.tooltip && !IsWindowEnabled(it->second.window);
  const int now = standIn ? id : 0;
  if (now == form.tooltipStandIn) return;
  form.tooltipStandIn = now;
  TTTOOLINFOW tool = toolInfo(form.window, TTF_SUBCLASS, kStandInTool);
  if (standIn) {
    GetWindowRect(under, &tool.rect);
    MapWindowPoints(nullptr, form.window, reinterpret_cast<POINT*>(&tool.rect), 2);
  }
  // A tip showing for the control the mouse left goes.
  SendMessageW(form.tooltips, TTM_POP, 0, 0);
  SendMessageW(form.tooltips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  // The tooltip saw this move before the tool covered the control: it sees
  // it again, so that the mouse resting here now is enough.
  MSG move{};
  move.hwnd = form.window;
  move.message = WM_MOUSEMOVE;
  move.lParam = MAKELPARAM(at.x, at.y);
  SendMessageW(form.tooltips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

void EZ_ADDTOOLTIP(const std::string& form, int id) {
  if (!ezOnGuiThread()) return;
  EzwForm* f = ezwFindForm(form);
  EzwControl* control = ezwFindControl(form, id);
  if (!f || !control) return;
  const HWND tooltips = tooltipsOf(*f);
  if (!tooltips) return;
  // A static text lets the mouse through to the form unless it notifies;
  // the tooltip must see the mouse on it.
  if (control->kind == EzKind::Label || control->kind == EzKind::Picture) {
    const LONG_PTR style = GetWindowLongPtrW(control->window, GWL_STYLE);
    SetWindowLongPtrW(control->window, GWL_STYLE, style | SS_NOTIFY);
  }
  control->tooltip = true;
  TTTOOLINFOW tool =
      toolInfo(f->window, TTF_IDISHWND | TTF_SUBCLASS, reinterpret_cast<UINT_PTR>(control->window));
  SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (control->kind == EzKind::ComboBox) ezwAddListItemTips(*f, *control, tooltips);
}

void EZ_SETTOOLTIP(const std::string& text) {
  EzWin.tooltipAnswer = text;
  EzWin.tooltipAnswered = true;
}

// The look of tooltips is the desktop's.
void EZ_DEFTOOLTIPPROP(int, int, const std::string&) {}
