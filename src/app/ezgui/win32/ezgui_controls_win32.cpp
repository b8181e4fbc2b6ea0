// Controls over Win32: labels, radio buttons, the drop-down list and the
// one-line text box, addressed by form name and number, placed in form
// units in the form's client area, and the events the user's actions on
// them give (1 click, 4 text edited, 6 list item picked, 108 list drops
// down). Changes the program makes report no event.
#include "app/ezgui/win32/ezgui_win32_state.h"
#include "app/win32_text.h"

namespace {

// The layer's text changes, told apart from the user's.
class SettingText {
 public:
  SettingText() : before_(EzWin.settingText) { EzWin.settingText = true; }
  ~SettingText() { EzWin.settingText = before_; }
  SettingText(const SettingText&) = delete;
  SettingText& operator=(const SettingText&) = delete;

 private:
  bool before_;
};

HWND windowOf(const std::string& form, int id) {
  if (!ezOnGuiThread()) return nullptr;
  EzwControl* control = ezwFindControl(form, id);
  return control ? control->window : nullptr;
}

HWND listOf(const std::string& form, int id) {
  EzwControl* control = ezOnGuiThread() ? ezwFindControl(form, id) : nullptr;
  return control && control->kind == EzKind::ComboBox ? control->window : nullptr;
}

void addItems(HWND list, const std::string& items) {
  size_t start = 0;
  for (;;) {
    const size_t bar = items.find('|', start);
    const std::string item = items.substr(start, bar == std::string::npos ? bar : bar - start);
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ezwFromBytes(item).c_str()));
    if (bar == std::string::npos) return;
    start = bar + 1;
  }
}

}  // namespace

HWND ezwAddControl(const std::string& form, int id, EzKind kind, const wchar_t* windowClass,
                   DWORD style, const std::string& text, float x, float y, float width,
                   float height, DWORD exStyle) {
  if (!ezOnGuiThread()) return nullptr;
  EzwForm* f = ezwFindForm(form);
  if (!f || !f->window || f->goingAway) return nullptr;
  if (auto old = f->controls.find(id); old != f->controls.end()) {
    DestroyWindow(old->second.window);
    f->controls.erase(old);
  }
  const SettingText quiet;
  const HWND window = CreateWindowExW(
      exStyle, windowClass, ezwFromBytes(text).c_str(), WS_CHILD | WS_VISIBLE | style, ezPixelsX(x),
      ezPixelsY(y), ezPixelsX(width), ezPixelsY(height), f->window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!window) return nullptr;
  const HFONT font = EzWin.nextFont ? EzWin.nextFont : ezwControlFont();
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EzwControl control;
  control.id = id;
  control.kind = kind;
  control.window = window;
  control.foreground = EzNext.foreground;
  control.background = EzNext.background;
  control.placed = true;
  control.x = x;
  control.y = y;
  control.width = width;
  control.height = height;
  f->controls[id] = control;
  return window;
}

bool ezwControlCommand(EzwForm& form, int id, int notification, HWND window) {
  const auto it = form.controls.find(id);
  if (it == form.controls.end() || it->second.window != window) return false;
  const int serial = form.serial;
  switch (it->second.kind) {
    case EzKind::Radio:
      if (notification == BN_CLICKED) ezDeliver(serial, id, EzClick, 0);
      return true;
    case EzKind::OwnerButton:
      if (notification == BN_CLICKED || notification == BN_DOUBLECLICKED) {
        ezDeliver(serial, id, EzClick, 0);
      }
      return true;
    case EzKind::TextBox:
      if (notification == EN_CHANGE && !EzWin.settingText) ezDeliver(serial, id, EzTextEdited, 0);
      return true;
    case EzKind::ComboBox:
      // A pick is over when the list closes with it (or, the list closed, when
      // the arrow keys change it); moving through the open list is no pick.
      if (notification == CBN_SELENDOK ||
          (notification == CBN_SELCHANGE && !SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0))) {
        const int index = static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0));
        ezDeliver(serial, id, EzSelectionChanged, index);
      }
      if (notification == CBN_DROPDOWN) ezDeliver(serial, id, EzListDropsDown, 0);
      return true;
    default:
      return true;
  }
}

void EZ_LABEL(const std::string& form, int id, const std::string& text, float x, float y,
              float width, float height, const std::string& props) {
  const DWORD alignment = props.find('C') != std::string::npos ? SS_CENTER : SS_LEFT;
  const HWND label = ezwAddControl(form, id, EzKind::Label, L"STATIC", alignment | SS_NOPREFIX,
                                   text, x, y, width, height);
  // "I": drawn over the form's background, not on a box of its own.
  if (label) ezwFindControl(form, id)->transparent = props.find('I') != std::string::npos;
}

void EZ_RADIO(const std::string& form, int id, const std::string& text, float x, float y,
              float width, float height, const std::string& props) {
  (void)props;
  ezwAddControl(form, id, EzKind::Radio, L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, text, x, y,
                width, height);
}

// The list's height is that of the open list; closed, it shows one line.
void EZ_COMBOBOX(const std::string& form, int id, const std::string& items, float x, float y,
                 float width, float height, const std::string& props) {
  (void)props;
  const HWND list =
      ezwAddControl(form, id, EzKind::ComboBox, L"COMBOBOX",
                    CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, "", x, y, width, height);
  if (list && !items.empty()) addItems(list, items);
}

void EZ_TEXT(const std::string& form, int id, const std::string& text, float x, float y,
             float width, float height, const std::string& props) {
  (void)props;
  ezwAddControl(form, id, EzKind::TextBox, L"EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, text,
                x, y, width, height);
}

void EZ_ENABLEC(const std::string& form, int id) {
  if (const HWND window = windowOf(form, id)) EnableWindow(window, TRUE);
}

void EZ_DISABLEC(const std::string& form, int id) {
  const HWND window = windowOf(form, id);
  if (!window) return;
  ezwHandFocusOn(window);
  EnableWindow(window, FALSE);
}

void EZ_SETTEXT(const std::string& form, int id, const std::string& text) {
  const HWND window = windowOf(form, id);
  if (!window || listOf(form, id)) return;
  if (ezwFindControl(form, id)->kind == EzKind::RichView) {
    EZ_SETRICHTEXT(form, id, text, 0, 0);
    return;
  }
  if (ezwFindControl(form, id)->kind == EzKind::MultiLine) {
    ezwSetMultiLineText(*ezwFindControl(form, id), text);
    return;
  }
  const SettingText quiet;
  SetWindowTextW(window, ezwFromBytes(text).c_str());
}

std::string EZ_GETTEXT(const std::string& form, int id) {
  const HWND window = windowOf(form, id);
  if (!window) return "";
  if (ezwFindControl(form, id)->kind == EzKind::RichView) return ezwRichViewText(window);
  if (ezwFindControl(form, id)->kind == EzKind::MultiLine) {
    return ezwFindControl(form, id)->programText;
  }
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return narrow(text);
}

void EZ_SETCHECK(const std::string& form, int id, int checked) {
  EzwControl* control = ezOnGuiThread() ? ezwFindControl(form, id) : nullptr;
  if (!control || control->kind != EzKind::Radio) return;
  SendMessageW(control->window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void EZ_CLEAR(const std::string& form, int id) {
  if (const HWND list = listOf(form, id)) {
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
  } else {
    EZ_SETTEXT(form, id, "");
  }
}

void EZ_ADDITEMS(const std::string& form, int id, const std::string& items) {
  if (const HWND list = listOf(form, id)) addItems(list, items);
}

void EZ_SELECTITEM(const std::string& form, int id, int index) {
  const HWND list = listOf(form, id);
  if (!list) return;
  const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
  SendMessageW(list, CB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
}

// A disabled control takes no keyboard: a disabled list would otherwise
// take keys that pick from it.
void EZ_SETFOCUS(const std::string& form, int id) {
  const HWND window = windowOf(form, id);
  if (window && IsWindowEnabled(window)) SetFocus(window);
}

bool ezBackendIsEnabled(const std::string& form, int id) {
  const HWND window = windowOf(form, id);
  return window && IsWindowEnabled(window);
}

void ezBackendDropDown(const std::string& form, int id) {
  if (const HWND list = listOf(form, id)) SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
}

void EZ_RESIZE(const std::string& form, int id, float x, float y, float width, float height) {
  if (const HWND window = windowOf(form, id)) {
    EzwControl& control = *ezwFindControl(form, id);
    control.x = x;
    control.y = y;
    control.width = width;
    control.height = height;
    MoveWindow(window, ezPixelsX(x), ezPixelsY(y), ezPixelsX(width), ezPixelsY(height), TRUE);
  }
}
