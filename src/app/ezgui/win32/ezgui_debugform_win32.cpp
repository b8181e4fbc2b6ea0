// The debug form: a window of its own with one multi-line read-only text
// (identifier 100) over its whole client area. It reports no loading
// events and calls no design routine, as the program builds nothing in it.
// The text comes back exactly as the program wrote it; the control itself
// needs "\r\n" line ends, so what it shows is the text with each line end
// made one.
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr int kTextId = 100;

std::wstring withControlLineEnds(const std::wstring& text) {
  std::wstring shown;
  shown.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    if (c == L'\r' || c == L'\n') {
      shown += L"\r\n";
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

void ezwSetMultiLineText(EzwControl& control, const std::string& text) {
  control.programText = text;
  const bool before = EzWin.settingText;
  EzWin.settingText = true;
  SetWindowTextW(control.window, withControlLineEnds(ezwFromBytes(text)).c_str());
  EzWin.settingText = before;
}

void ezwLayOutFilling(EzwForm& form) {
  RECT client{};
  GetClientRect(form.window, &client);
  for (auto& [id, control] : form.controls) {
    if (control.fillsClient) MoveWindow(control.window, 0, 0, client.right, client.bottom, TRUE);
  }
}

void EZ_DEBUGFORM(const std::string& name) {
  if (!ezOnGuiThread()) return;
  EzwForm& form = ezwMakeForm(name, "", name, 0, 0, 90, 35);
  if (!form.window) return;
  form.clearOfMain = true;
  ezwPlaceClearOfMainForm(form.window, 0, 0, 90, 35);
  const HWND text = ezwAddControl(
      name, kTextId, EzKind::MultiLine, L"EDIT",
      ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL, "", 0,
      0, 1, 1, WS_EX_CLIENTEDGE);
  if (text) {
    // The trace keeps up to 64000 characters; an edit control's own limit
    // is far less.
    SendMessageW(text, EM_SETLIMITTEXT, 0, 0);
    form.controls[kTextId].fillsClient = true;
    ezwLayOutFilling(form);
  }
  // A trace window that took the keyboard would leave the user typing
  // into it, without the main window's keys. It shows at the loop's next
  // pass, once the caller has placed it, so it never appears and jumps.
  PostMessageW(form.window, EzwShowQuietly, 0, 0);
}
