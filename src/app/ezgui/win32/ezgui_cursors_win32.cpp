// Cursors over Win32: "#A" arrow, "#W" wait, "#I" text beam, "#C" cross,
// "#H" hand; other names are cursor files (.cur, .ani) in the image folder. The system asks a
// window for its cursor with WM_SETCURSOR, which a control passes to its form first: so a cursor of
// the program's own is given there, and the arrow means "none of the
// program's own", each window showing its usual one again (a text beam
// over text). A cursor set while the GUI thread then stays busy (a port
// scan) shows at once, not only when the pointer next moves.
#include <algorithm>
#include <cwctype>
#include <string>

#include "app/ezgui/win32/ezgui_win32_state.h"
#include "app/win32_text.h"

namespace {

HCURSOR systemCursor(const std::wstring& name) {
  std::wstring n = name;
  std::transform(n.begin(), n.end(), n.begin(), [](wchar_t c) { return std::towupper(c); });
  if (n == L"#A") return LoadCursorW(nullptr, IDC_ARROW);
  if (n == L"#W") return LoadCursorW(nullptr, IDC_WAIT);
  if (n == L"#I") return LoadCursorW(nullptr, IDC_IBEAM);
  if (n == L"#C") return LoadCursorW(nullptr, IDC_CROSS);
  if (n == L"#H") return LoadCursorW(nullptr, IDC_HAND);
  return nullptr;
}

bool isArrow(HCURSOR cursor) {
  return cursor == LoadCursorW(nullptr, IDC_ARROW);
}

// The window under the pointer asks afresh for its cursor.
void refreshCursor() {
  POINT at{};
  if (!GetCursorPos(&at)) return;
  const HWND under = WindowFromPoint(at);
  if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
  const auto hit = static_cast<UINT>(SendMessageW(
      under, WM_NCHITTEST, 0, MAKELPARAM(static_cast<short>(at.x), static_cast<short>(at.y))));
  SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

}  // namespace

void EZ_LOADCURSOR(int number, const std::string& name) {
  if (!ezOnGuiThread()) return;
  const std::wstring n = widen(name);
  if (HCURSOR cursor = systemCursor(n)) {
    EzwPictures.cursors[number] = cursor;
    return;
  }
  const std::wstring path = ezwImageFile(n);
  if (path.empty()) return;
  const auto cursor = static_cast<HCURSOR>(
      LoadImageW(nullptr, path.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
  if (!cursor) return;
  EzwPictures.ownCursors.push_back(cursor);
  EzwPictures.cursors[number] = cursor;
}

void EZ_SETCURSOR(const std::string& form, int number) {
  if (!ezOnGuiThread()) return;
  const auto it = EzwPictures.cursors.find(number);
  if (it == EzwPictures.cursors.end()) return;
  const HCURSOR cursor = isArrow(it->second) ? nullptr : it->second;
  if (!form.empty()) {
    EzwForm* f = ezwFindForm(form);
    if (!f) return;
    if (cursor) {
      EzwPictures.formCursors[f->serial] = cursor;
    } else {
      EzwPictures.formCursors.erase(f->serial);
    }
  } else {
    EzwPictures.programCursor = cursor;
  }
  if (cursor) SetCursor(cursor);
  refreshCursor();
}

bool ezwSetFormCursor(const EzwForm& form, HWND under, UINT hitTest) {
  if (hitTest != HTCLIENT) return false;
  HCURSOR cursor = EzwPictures.programCursor;
  if (!cursor && under == form.window) {
    const auto it = EzwPictures.formCursors.find(form.serial);
    if (it != EzwPictures.formCursors.end()) cursor = it->second;
  }
  if (!cursor) return false;
  SetCursor(cursor);
  return true;
}
