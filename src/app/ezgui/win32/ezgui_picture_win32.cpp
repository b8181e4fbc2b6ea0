// Picture controls: a picture loaded by EZ_LOADPICTURE, stretched over the
// control's whole area whatever its own size, as the program places it in
// form units. A reference that names no picture leaves the control empty.
#include "app/ezgui/win32/ezgui_win32_state.h"

void ezwPaintPicture(const EzwForm& form, const EzwControl& control, const DRAWITEMSTRUCT& item) {
  const HBITMAP bitmap = ezwPictureBitmap(control.picture);
  BITMAP size{};
  if (!bitmap || !GetObjectW(bitmap, sizeof size, &size)) {
    // Nothing to show: the form's own colour, not whatever was there before.
    const COLORREF own = ezwColour(form.background);
    const HBRUSH brush = CreateSolidBrush(own != CLR_INVALID ? own : GetSysColor(COLOR_BTNFACE));
    FillRect(item.hDC, &item.rcItem, brush);
    DeleteObject(brush);
    return;
  }
  const HDC source = CreateCompatibleDC(item.hDC);
  const HGDIOBJ before = SelectObject(source, bitmap);
  SetStretchBltMode(item.hDC, HALFTONE);
  StretchBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
             item.rcItem.bottom - item.rcItem.top, source, 0, 0, size.bmWidth, size.bmHeight,
             SRCCOPY);
  SelectObject(source, before);
  DeleteDC(source);
}

void EZ_PICTURE(const std::string& form, int id, const std::string& picture, float x, float y,
                float width, float height, const std::string& props) {
  (void)props;
  if (!ezwAddControl(form, id, EzKind::Picture, L"STATIC", SS_OWNERDRAW, "", x, y, width, height)) {
    return;
  }
  ezwFindControl(form, id)->picture = picture;
}
