#include "app/ezgui/win32/ezgui_win32_state.h"

EzwLayerState EzWin;

EzwForm* ezwFindForm(const std::string& name) {
  return ezFormNamed(EzWin.forms, name);
}

EzwForm* ezwFindFormBySerial(int serial) {
  return ezFormWithSerial(EzWin.forms, serial);
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

bool ezOnGuiThread() {
  return EzWin.guiThread == 0 || EzWin.guiThread == GetCurrentThreadId();
}

int ezDeliver(int formSerial, int id, int code, int value) {
  EzwForm* form = ezwFindFormBySerial(formSerial);
  return form ? ezCallEventRoutine(EzWin.events, *form, id, code, value) : 0;
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

// ---- The hooks of the layer's shared part ----

EzControlBase* ezBackendControl(const std::string& form, int id) {
  return ezwFindControl(form, id);
}

void ezBackendDesign(const std::string& name) {
  if (EzWin.design) EzWin.design(name);
}

EzFormBase* ezBackendFormWithSerial(int serial) {
  return ezwFindFormBySerial(serial);
}

EzFormBase* ezBackendForm(const std::string& name) {
  return ezwFindForm(name);
}
