// Holding back a form's drawing while the program moves several controls,
// then drawing the whole form once: no half-moved layout is ever shown.
#include "app/ezgui/win32/ezgui_win32_state.h"

void EZ_DELAYDRAWCLIENT(const std::string& name, int mode) {
  (void)mode;
  EzwForm* form = ezOnGuiThread() ? ezwFindForm(name) : nullptr;
  if (form && form->window) SendMessageW(form->window, WM_SETREDRAW, FALSE, 0);
}

void EZ_REDRAWFORM(const std::string& name) {
  EzwForm* form = ezOnGuiThread() ? ezwFindForm(name) : nullptr;
  if (!form || !form->window) return;
  SendMessageW(form->window, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(form->window, nullptr, nullptr,
               RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
