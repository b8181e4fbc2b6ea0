// The keyboard in the layer's forms, as the Linux build has it: Tab and
// Shift+Tab move through the controls that take the keyboard, a form that
// comes back to the front gives the keyboard back to the control that had
// it (after a message box too), and a control disabled while it has the
// keyboard hands it to the next one.
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

// Enter and Escape keep their ordinary meaning in the focused control: the
// dialog manager would turn them into the commands 1 and 2 of the form.
bool isEnterOrEscape(const MSG& message) {
  const bool key =
      message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
  if (!key) return false;
  if (message.message == WM_CHAR) return message.wParam == L'\r' || message.wParam == 27;
  return message.wParam == VK_RETURN || message.wParam == VK_ESCAPE;
}

// The dialog manager's arrow keys move among option buttons and click the
// one they reach: only from an option button, as in the Linux build, so an
// arrow on a button never changes an option.
bool isArrowOffOptionButtons(const MSG& message, const EzwForm& form) {
  if (message.message != WM_KEYDOWN && message.message != WM_KEYUP) return false;
  if (message.wParam != VK_LEFT && message.wParam != VK_RIGHT && message.wParam != VK_UP &&
      message.wParam != VK_DOWN) {
    return false;
  }
  const HWND focus = GetFocus();
  const auto control = form.controls.find(focus ? GetDlgCtrlID(focus) : 0);
  return control == form.controls.end() || control->second.window != focus ||
         control->second.kind != EzKind::Radio;
}

EzwForm* formAround(HWND window) {
  return window ? ezwFindFormByWindow(GetAncestor(window, GA_ROOT)) : nullptr;
}

bool held(int virtualKey) {
  return (GetKeyState(virtualKey) & 0x8000) != 0;
}

// Tab moves on from every control, the read-only view too, which would
// otherwise keep it; a text box tabbed into has its text selected.
void tabFrom(EzwForm& form, bool backwards) {
  const HWND next = GetNextDlgTabItem(form.window, GetFocus(), backwards);
  if (!next) return;
  SetFocus(next);
  const auto control = form.controls.find(GetDlgCtrlID(next));
  if (control != form.controls.end() && control->second.window == next &&
      control->second.kind == EzKind::TextBox) {
    SendMessageW(next, EM_SETSEL, 0, -1);
  }
}

}  // namespace

bool ezwDialogKey(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  if (isEnterOrEscape(message)) return false;
  EzwForm* form = formAround(message.hwnd);
  if (!form || !form->window) return false;
  if (message.wParam == VK_TAB && !held(VK_CONTROL) && !held(VK_MENU)) {
    if (message.message == WM_KEYDOWN) tabFrom(*form, held(VK_SHIFT));
    if (message.message == WM_KEYDOWN || message.message == WM_KEYUP) return true;
  }
  if (isArrowOffOptionButtons(message, *form)) return false;
  return IsDialogMessageW(form->window, &message) != 0;
}

void ezwFormActivation(EzwForm& form, WPARAM state) {
  if (LOWORD(state) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus && IsChild(form.window, focus)) form.lastFocus = focus;
    return;
  }
  const HWND back = form.lastFocus;
  if (back && IsWindow(back) && IsChild(form.window, back) && IsWindowEnabled(back) &&
      IsWindowVisible(back)) {
    SetFocus(back);
  }
}

void ezwHandFocusOn(HWND control) {
  const HWND focus = GetFocus();
  if (!focus || (focus != control && !IsChild(control, focus))) return;
  const HWND form = GetAncestor(control, GA_ROOT);
  const HWND next = GetNextDlgTabItem(form, control, FALSE);
  SetFocus(next && next != control ? next : form);
}
