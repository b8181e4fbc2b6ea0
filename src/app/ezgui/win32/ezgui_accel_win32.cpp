// Accelerator keys over Win32 (the tables are read by ../ezgui_keys.cpp).
// They win over the focused control's own use of a key, so the message loop
// looks at each key before it is translated and dispatched. The system's
// own accelerator tables would not do: they repeat with a held key and
// act on whatever window the loop hands them.
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

UINT virtualKey(const EzKeySpec& key) {
  switch (key.name) {
    case EzKeyName::Character:
      return static_cast<UINT>(key.character);  // letters and digits are their own codes
    case EzKeyName::Function:
      return static_cast<UINT>(VK_F1 + key.function - 1);
    case EzKeyName::Delete:
      return VK_DELETE;
    case EzKeyName::Insert:
      return VK_INSERT;
    case EzKeyName::Home:
      return VK_HOME;
    case EzKeyName::End:
      return VK_END;
    case EzKeyName::PageUp:
      return VK_PRIOR;
    case EzKeyName::PageDown:
      return VK_NEXT;
    case EzKeyName::Escape:
      return VK_ESCAPE;
    case EzKeyName::Tab:
      return VK_TAB;
    case EzKeyName::Enter:
      return VK_RETURN;
    case EzKeyName::Space:
      return VK_SPACE;
    case EzKeyName::Up:
      return VK_UP;
    case EzKeyName::Down:
      return VK_DOWN;
    case EzKeyName::Left:
      return VK_LEFT;
    case EzKeyName::Right:
      return VK_RIGHT;
    case EzKeyName::Backspace:
      return VK_BACK;
  }
  return 0;
}

bool isDialog(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return std::wstring(name) == L"#32770";
}

// The form whose window a key was typed in: the form's own window, or a
// pop-up that one of its controls opened (the port list's drop-down). A
// dialog or another top-level window is not the form's, even when the form
// owns it: there Ctrl+X cuts and Ctrl+Z undoes.
EzwForm* formTypedIn(HWND window) {
  for (HWND w = window; w;) {
    if (EzwForm* form = ezwFindFormByWindow(w)) return form->goingAway ? nullptr : form;
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    if (style & WS_CHILD) {
      w = GetParent(w);
      continue;
    }
    const bool controlPopup =
        (style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION && !isDialog(w);
    if (!controlPopup) return nullptr;
    w = GetWindow(w, GW_OWNER);
  }
  return nullptr;
}

bool down(int key) {
  return GetKeyState(key) < 0;
}

const EzwAccelerator* match(const EzwForm& form, UINT key) {
  const bool control = down(VK_CONTROL);
  const bool shift = down(VK_SHIFT);
  const bool alt = down(VK_MENU);
  for (const EzwAccelerator& a : form.accelerators) {
    if (a.key == key && a.control == control && a.shift == shift && a.alt == alt) return &a;
  }
  return nullptr;
}

}  // namespace

bool ezwTranslateAccelerator(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  EzwForm* form = formTypedIn(message.hwnd);
  if (!form) return false;
  const EzwAccelerator* a = match(*form, static_cast<UINT>(message.wParam));
  if (!a) return false;
  // A held key gives one command, not a stream of them.
  const bool repeated = (message.lParam & (1L << 30)) != 0;
  if (!repeated) ezDeliver(form->serial, a->command, EzClick, 0);
  return true;
}

void ezBackendSetAccelerators(const std::string& name, const std::vector<EzKeySpec>& keys) {
  EzwForm* form = ezwFindForm(name);
  if (!form) return;
  form->accelerators.clear();
  for (const EzKeySpec& key : keys) {
    form->accelerators.push_back(
        EzwAccelerator{virtualKey(key), key.control, key.shift, key.alt, key.command});
  }
}
