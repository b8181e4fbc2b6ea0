// Painting handed to the event routine over Win32: the records and their
// rules are the layer's (../ezgui_drawing.h); here the device context, the
// plain 3-D button in the layer's colours and the bitmap stretched over the
// background. An image is given by its bitmap's handle.
#include <algorithm>

#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

struct ButtonLook {
  EzRgb face;
  EzRgb text;
  HFONT font = nullptr;
  std::wstring label;
  EzButtonState state;
};

EzRgb rgbOf(COLORREF c) {
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

void line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
  const HPEN pen = CreatePen(PS_SOLID, 1, colour);
  const HGDIOBJ before = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, before);
  DeleteObject(pen);
}

// Top and left edges in one colour, bottom and right in the other.
void bevel(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  line(dc, r.left, r.top, r.right - 1, r.top, topLeft);
  line(dc, r.left, r.top, r.left, r.bottom - 1, topLeft);
  line(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, bottomRight);
  line(dc, r.right - 1, r.top, r.right - 1, r.bottom - 1, bottomRight);
}

// A raised 3-D button in the layer's colours (ezButtonColours).
void draw3dButton(HDC dc, const RECT& area, const ButtonLook& look) {
  const EzButtonColours colours = ezButtonColours(look.face, look.text, look.state.disabled);
  const COLORREF face = ezwColourRef(colours.face);
  const COLORREF text = ezwColourRef(colours.text);
  const COLORREF light = ezwColourRef(colours.light);
  const COLORREF dark = ezwColourRef(colours.dark);
  const COLORREF darkest = ezwColourRef(colours.darkest);
  const HBRUSH brush = CreateSolidBrush(face);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
  const RECT inner{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
  if (look.state.pressed) {
    bevel(dc, area, darkest, light);
    bevel(dc, inner, dark, face);
  } else {
    bevel(dc, area, light, darkest);
    bevel(dc, inner, face, dark);
  }
  RECT textArea = area;
  if (look.state.pressed) OffsetRect(&textArea, 1, 1);
  const HGDIOBJ before = SelectObject(dc, look.font ? look.font : ezwControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, text);
  DrawTextW(dc, look.label.c_str(), -1, &textArea, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, before);
  if (look.state.focused) {
    RECT dots{area.left + 4, area.top + 4, area.right - 4, area.bottom - 4};
    DrawFocusRect(dc, &dots);
  }
}

std::wstring labelOf(HWND button) {
  const int length = GetWindowTextLengthW(button);
  std::wstring label(static_cast<size_t>(length) + 1, L'\0');
  label.resize(static_cast<size_t>(std::max(0, GetWindowTextW(button, label.data(), length + 1))));
  return label;
}

ButtonLook lookOf(HWND button, EzButtonState state) {
  ButtonLook look;
  look.face = rgbOf(GetSysColor(COLOR_BTNFACE));
  look.text = rgbOf(GetSysColor(COLOR_BTNTEXT));
  look.font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
  look.label = labelOf(button);
  look.state = state;
  return look;
}

EzBox boxOf(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

RECT rectOf(const EzBox& b) {
  return {b.x, b.y, b.right(), b.bottom()};
}

}  // namespace

void ezwPaintOwnerButton(EzwForm& form, const DRAWITEMSTRUCT& item) {
  EzSurface surface{item.hDC};
  const EzButtonState state{(item.itemState & ODS_SELECTED) != 0,
                            (item.itemState & ODS_DISABLED) != 0,
                            (item.itemState & ODS_FOCUS) != 0};
  const int id = static_cast<int>(item.CtlID);
  if (ezOwnerDrawHandedOver(form, id, surface, boxOf(item.rcItem), state)) return;
  // The program did not draw it: a plain 3-D button in the desktop's colours.
  draw3dButton(item.hDC, item.rcItem, lookOf(item.hwndItem, state));
}

// Under a High Contrast theme the form is the theme's window colour, with
// no picture or colour of the program's over it.
void ezwPaintBackground(EzwForm& form, HDC dc) {
  RECT area{};
  GetClientRect(form.window, &area);
  if (ezwHighContrast()) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    return;
  }
  const COLORREF own = ezwColour(form.background);
  const HBRUSH brush = CreateSolidBrush(own != CLR_INVALID ? own : GetSysColor(COLOR_BTNFACE));
  FillRect(dc, &area, brush);
  DeleteObject(brush);
  EzSurface surface{dc};
  ezBackgroundHandedOver(form, surface, boxOf(area));
}

bool ezBackendDrawButton(EzSurface& surface, EzBox area, const std::string& form, int id,
                         EzButtonState state, std::optional<EzRgb> face, int font) {
  const EzwControl* control = ezwFindControl(form, id);
  if (!control || control->kind != EzKind::OwnerButton) return false;
  ButtonLook look = lookOf(control->window, state);
  if (face && !ezwHighContrast()) look.face = *face;
  if (font != EzControlFont) look.font = ezwFont(font);
  draw3dButton(surface.dc, rectOf(area), look);
  return true;
}

void ezBackendDrawImage(EzSurface& surface, int image, EzBox target) {
  const HBITMAP bitmap = ezwImageBitmap(image);
  if (!bitmap) return;
  BITMAP size{};
  GetObjectW(bitmap, sizeof size, &size);
  const HDC source = CreateCompatibleDC(surface.dc);
  const HGDIOBJ before = SelectObject(source, bitmap);
  SetStretchBltMode(surface.dc, HALFTONE);
  StretchBlt(surface.dc, target.x, target.y, target.width, target.height, source, 0, 0,
             size.bmWidth, size.bmHeight, SRCCOPY);
  SelectObject(source, before);
  DeleteDC(source);
}
