// Painting handed to the event routine: owner-drawn buttons (event 300)
// and a form's background (event 320). The event's value is the number of
// a drawing record that holds the device context for the length of the
// paint; the drawing calls take it back and do nothing once the paint is
// over. An image is given by its bitmap's handle.
#include <algorithm>

#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

// A record for the duration of one paint; nested paints each take their own.
class DrawRecord {
 public:
  DrawRecord() {
    for (int i = 0; i < EzwDrawRecordCount; ++i) {
      if (!EzWin.drawRecords[i].active) {
        number_ = i + 1;
        record().active = true;
        return;
      }
    }
  }
  ~DrawRecord() {
    if (number_ == 0) return;
    record() = EzwDrawRecord{};
    if (EzWin.currentErase == number_) EzWin.currentErase = 0;
  }
  DrawRecord(const DrawRecord&) = delete;
  DrawRecord& operator=(const DrawRecord&) = delete;

  int number() const { return number_; }
  EzwDrawRecord& record() { return EzWin.drawRecords[number_ - 1]; }

 private:
  int number_ = 0;
};

EzwDrawRecord* activeRecord(int number) {
  if (number < 1 || number > EzwDrawRecordCount) return nullptr;
  EzwDrawRecord& r = EzWin.drawRecords[number - 1];
  return r.active ? &r : nullptr;
}

struct ButtonLook {
  COLORREF face = 0;
  COLORREF text = 0;
  HFONT font = nullptr;
  std::wstring label;
  bool pressed = false;
  bool disabled = false;
  bool focused = false;
};

COLORREF scaled(COLORREF c, int numerator, int denominator) {
  const auto part = [&](int v) { return std::min(255, v * numerator / denominator); };
  return RGB(part(GetRValue(c)), part(GetGValue(c)), part(GetBValue(c)));
}

COLORREF lighter(COLORREF c) {
  const auto part = [](int v) { return v + (255 - v) * 6 / 10; };
  return RGB(part(GetRValue(c)), part(GetGValue(c)), part(GetBValue(c)));
}

COLORREF mix(COLORREF a, COLORREF b) {
  return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
             (GetBValue(a) + GetBValue(b)) / 2);
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

// A raised 3-D button in its face colour; sunk when pressed, greyed when
// disabled.
void draw3dButton(HDC dc, const RECT& area, const ButtonLook& look) {
  const COLORREF face = look.disabled ? mix(look.face, RGB(160, 160, 160)) : look.face;
  const COLORREF text = look.disabled ? RGB(110, 110, 110) : look.text;
  const COLORREF light = lighter(face);
  const COLORREF dark = scaled(face, 10, 17);
  const COLORREF darkest = scaled(face, 1, 3);
  const HBRUSH brush = CreateSolidBrush(face);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
  const RECT inner{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
  if (look.pressed) {
    bevel(dc, area, darkest, light);
    bevel(dc, inner, dark, face);
  } else {
    bevel(dc, area, light, darkest);
    bevel(dc, inner, face, dark);
  }
  RECT textArea = area;
  if (look.pressed) OffsetRect(&textArea, 1, 1);
  const HGDIOBJ before = SelectObject(dc, look.font ? look.font : ezwControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, text);
  DrawTextW(dc, look.label.c_str(), -1, &textArea, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, before);
  if (look.focused) {
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

ButtonLook lookOf(HWND button, const EzwDrawRecord& rec) {
  ButtonLook look;
  look.face = GetSysColor(COLOR_BTNFACE);
  look.text = GetSysColor(COLOR_BTNTEXT);
  look.font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
  look.label = labelOf(button);
  look.pressed = rec.pressed;
  look.disabled = rec.disabled;
  look.focused = rec.focused;
  return look;
}

}  // namespace

void ezwPaintOwnerButton(EzwForm& form, const DRAWITEMSTRUCT& item) {
  DrawRecord r;
  if (r.number() == 0) return;  // paints nested deeper than the table: not drawn
  EzwDrawRecord& rec = r.record();
  rec.formKey = ezwKey(form.name);
  rec.controlId = static_cast<int>(item.CtlID);
  rec.dc = item.hDC;
  rec.area = item.rcItem;
  rec.pressed = (item.itemState & ODS_SELECTED) != 0;
  rec.disabled = (item.itemState & ODS_DISABLED) != 0;
  rec.focused = (item.itemState & ODS_FOCUS) != 0;
  ezwDeliver(form.serial, rec.controlId, EzOwnerDraw, r.number());
  if (r.record().done) return;
  // The program did not draw it: a plain 3-D button in the desktop's colours.
  draw3dButton(item.hDC, item.rcItem, lookOf(item.hwndItem, r.record()));
}

void ezwPaintBackground(EzwForm& form, HDC dc) {
  RECT area{};
  GetClientRect(form.window, &area);
  const COLORREF own = ezwColour(form.background);
  const HBRUSH brush = CreateSolidBrush(own != CLR_INVALID ? own : GetSysColor(COLOR_BTNFACE));
  FillRect(dc, &area, brush);
  DeleteObject(brush);
  DrawRecord r;
  if (r.number() == 0) return;
  EzwDrawRecord& rec = r.record();
  rec.erase = true;
  rec.formKey = ezwKey(form.name);
  rec.dc = dc;
  rec.area = area;
  ezwDeliver(form.serial, 0, EzEraseBackground, r.number());
}

void EZ_DRAW3DBUTTON(const std::string& form, int id, int drawRecord, int colour, int style,
                     int font) {
  (void)style;
  EzwDrawRecord* rec = activeRecord(drawRecord);
  if (!rec || rec->erase || rec->controlId != id || rec->formKey != ezwKey(form)) return;
  const EzwControl* control = ezwFindControl(form, id);
  if (!control || control->kind != EzwKind::OwnerButton) return;
  ButtonLook look = lookOf(control->window, *rec);
  if (const COLORREF face = ezwColour(colour); face != CLR_INVALID) look.face = face;
  if (font != EzControlFont) look.font = ezwFont(font);
  draw3dButton(rec->dc, rec->area, look);
  rec->done = true;
}

int EZ_ODIFONT() {
  return EzControlFont;
}

int EZ_STARTERASEBG(int eventValue, float& width, float& height) {
  width = 0;
  height = 0;
  EzwDrawRecord* rec = activeRecord(eventValue);
  if (!rec || !rec->erase) return 0;
  width = ezwUnitsX(rec->area.right - rec->area.left);
  height = ezwUnitsY(rec->area.bottom - rec->area.top);
  EzWin.currentErase = eventValue;
  return eventValue;
}

void EZ_DCDRAWPICTURE(int dc, int image, float x1, float y1, float x2, float y2) {
  EzwDrawRecord* rec = activeRecord(dc);
  const HBITMAP bitmap = ezwImageBitmap(image);
  if (!rec || !rec->erase || !bitmap) return;
  BITMAP size{};
  GetObjectW(bitmap, sizeof size, &size);
  const HDC source = CreateCompatibleDC(rec->dc);
  const HGDIOBJ before = SelectObject(source, bitmap);
  const int left = ezwPixelsX(x1);
  const int top = ezwPixelsY(y1);
  SetStretchBltMode(rec->dc, HALFTONE);
  StretchBlt(rec->dc, left, top, ezwPixelsX(x2) - left, ezwPixelsY(y2) - top, source, 0, 0,
             size.bmWidth, size.bmHeight, SRCCOPY);
  SelectObject(source, before);
  DeleteDC(source);
}

void EZ_ENDERASEBG(int& cancel) {
  EzwDrawRecord* rec = activeRecord(EzWin.currentErase);
  if (!rec || !rec->erase) return;
  rec->done = true;
  cancel = 1;
}
