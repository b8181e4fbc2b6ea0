// Accelerator tables. A table's keys belong to the form's window and win
// over the focused control's own use of a key (Ctrl+Z and Ctrl+X in a text
// box are commands of the form, not undo and cut), so the message loop
// looks at each key before it is translated and dispatched. The system's
// own accelerator tables would not do: they repeat with a held key and
// act on whatever window the loop hands them.
#include <cctype>
#include <cstdlib>
#include <string>

#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

struct NamedKey {
  const char* name;
  UINT key;
};

constexpr NamedKey kNamedKeys[] = {
    {"DEL", VK_DELETE},  {"DELETE", VK_DELETE}, {"INS", VK_INSERT},   {"INSERT", VK_INSERT},
    {"HOME", VK_HOME},   {"END", VK_END},       {"PGUP", VK_PRIOR},   {"PGDN", VK_NEXT},
    {"ESC", VK_ESCAPE},  {"TAB", VK_TAB},       {"ENTER", VK_RETURN}, {"RETURN", VK_RETURN},
    {"SPACE", VK_SPACE}, {"UP", VK_UP},         {"DOWN", VK_DOWN},    {"LEFT", VK_LEFT},
    {"RIGHT", VK_RIGHT}, {"BACKSPACE", VK_BACK}};

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

UINT virtualKey(const std::string& name) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    return static_cast<UINT>(name[0]);
  }
  if (name.size() >= 2 && name[0] == 'F' &&
      name.find_first_not_of("0123456789", 1) == std::string::npos) {
    const int number = std::atoi(name.c_str() + 1);
    return number >= 1 && number <= 24 ? static_cast<UINT>(VK_F1 + number - 1) : 0;
  }
  for (const NamedKey& named : kNamedKeys) {
    if (name == named.name) return named.key;
  }
  return 0;
}

// "F1", "^F" (Ctrl), "+F" (Shift), "%F" (Alt), prefixes combined in any order.
bool parseKey(const std::string& text, EzwAccelerator& into) {
  size_t i = 0;
  for (; i + 1 < text.size(); ++i) {
    if (text[i] == '^') {
      into.control = true;
    } else if (text[i] == '+') {
      into.shift = true;
    } else if (text[i] == '%') {
      into.alt = true;
    } else {
      break;
    }
  }
  into.key = virtualKey(upper(trimmed(text.substr(i))));
  return into.key != 0;
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
  if (!repeated) ezwDeliver(form->serial, a->command, EzClick, 0);
  return true;
}

void EZ_DEFACCEL(const std::string& name, const std::string& table) {
  if (!ezwOnGuiThread()) return;
  EzwForm* form = ezwFindForm(name);
  if (!form) return;
  form->accelerators.clear();
  size_t start = 0;
  while (start <= table.size()) {
    const size_t bar = table.find('|', start);
    const std::string entry =
        table.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    start = bar == std::string::npos ? table.size() + 1 : bar + 1;
    const size_t comma = entry.rfind(',');
    if (comma == std::string::npos || comma == 0) continue;
    const std::string command = trimmed(entry.substr(comma + 1));
    char* end = nullptr;
    const long number = std::strtol(command.c_str(), &end, 10);
    if (command.empty() || *end != '\0') continue;
    EzwAccelerator a;
    a.command = static_cast<int>(number);
    if (parseKey(trimmed(entry.substr(0, comma)), a)) form->accelerators.push_back(a);
  }
}
