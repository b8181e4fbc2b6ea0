// Owner-drawn buttons: push buttons the program paints itself (event 300,
// see ezgui_paint_win32), whose clicks by mouse or keyboard are the click
// event. A quick second click is a click of its own, not a double click.
#include "app/ezgui/win32/ezgui_win32_state.h"

void EZ_ODBUTTON(const std::string& form, int id, const std::string& text, float x, float y,
                 float width, float height, const std::string& props) {
  (void)props;
  ezwAddControl(form, id, EzKind::OwnerButton, L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, text, x, y,
                width, height);
}
