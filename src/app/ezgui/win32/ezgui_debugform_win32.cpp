// The debug form's text and the form calls that hold back drawing while
// the program lays a form out anew.
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr int kDebugText = 100;

}  // namespace

void ezwAddDebugText(EzwForm& form) {
  // Lines as the trace writes them, never wrapped; the user may select and
  // copy but not change them.
  const HWND text = ezwAddControl(
      form.name, kDebugText, EzwKind::TextBox, L"EDIT",
      ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL, "", 0,
      0, 1, 1, WS_EX_CLIENTEDGE);
  if (!text) return;
  // The edit's own limit (about 32,000 characters) is below the trace's.
  SendMessageW(text, EM_SETLIMITTEXT, 0, 0);
  form.fillingControl = kDebugText;
  ezwLayOutFillingControl(form);
}

void ezwLayOutFillingControl(EzwForm& form) {
  const auto it = form.controls.find(form.fillingControl);
  if (form.fillingControl == 0 || it == form.controls.end()) return;
  RECT area{};
  GetClientRect(form.window, &area);
  MoveWindow(it->second.window, 0, 0, area.right, area.bottom, TRUE);
}

void EZ_DELAYDRAWCLIENT(const std::string& name, int mode) {
  (void)mode;
  EzwForm* form = ezwOnGuiThread() ? ezwFindForm(name) : nullptr;
  if (form && form->window) SendMessageW(form->window, WM_SETREDRAW, FALSE, 0);
}

void EZ_REDRAWFORM(const std::string& name) {
  EzwForm* form = ezwOnGuiThread() ? ezwFindForm(name) : nullptr;
  if (!form || !form->window) return;
  SendMessageW(form->window, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(form->window, nullptr, nullptr,
               RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
