#include <algorithm>
#include <cctype>

#include "app/ezgui/win32/ezgui_win32_state.h"

EzwLayerState EzWin;

std::string ezwKey(const std::string& name) {
  std::string key = name;
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return key;
}

EzwForm* ezwFindForm(const std::string& name) {
  const auto it = EzWin.forms.find(ezwKey(name));
  return it == EzWin.forms.end() ? nullptr : it->second.get();
}

EzwForm* ezwFindFormBySerial(int serial) {
  for (auto& [key, form] : EzWin.forms) {
    if (form->serial == serial) return form.get();
  }
  return nullptr;
}

EzwForm* ezwFindFormByWindow(HWND window) {
  for (auto& [key, form] : EzWin.forms) {
    if (form->window == window) return form.get();
  }
  return nullptr;
}

EzwControl* ezwFindControl(const std::string& form, int id) {
  EzwForm* f = ezwFindForm(form);
  if (!f || f->goingAway) return nullptr;
  const auto it = f->controls.find(id);
  return it == f->controls.end() ? nullptr : &it->second;
}

bool ezwOnGuiThread() {
  return EzWin.guiThread == 0 || EzWin.guiThread == GetCurrentThreadId();
}

int ezwDeliver(int formSerial, int id, int code, int value) {
  EzwForm* form = ezwFindFormBySerial(formSerial);
  if (!form || !EzWin.events) return 0;
  // Copies: the routine may unload the form, and it may write to them.
  std::string name = form->name;
  int control = id;
  int event = code;
  int eventValue = value;
  int cancel = 0;
  EzWin.events(name, control, event, eventValue, cancel);
  return cancel;
}

std::wstring ezwFromBytes(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length > 0) {
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
  }
  std::wstring latin1;
  for (unsigned char c : text) latin1 += static_cast<wchar_t>(c);
  return latin1;
}

HWND ezwFormWindow(const std::string& name) {
  EzwForm* form = ezwFindForm(name);
  return form ? form->window : nullptr;
}
