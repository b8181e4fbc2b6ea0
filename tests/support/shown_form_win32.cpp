#include "support/shown_form_win32.h"

#include <windows.h>

#include "app/ezgui/win32/ezgui_win32_state.h"

void showFormNow(const std::string& form) {
  const HWND window = ezwFormWindow(form);
  if (!window) return;
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  UpdateWindow(window);
}
