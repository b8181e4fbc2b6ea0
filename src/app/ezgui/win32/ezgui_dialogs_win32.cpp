// The save dialog and the message box over Win32. Names are UTF-8 inside
// the program and UTF-16 at the calls; paths go both ways with "\", the
// form Windows users read.
// commdlg.h needs the types of windows.h.
#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "app/ezgui/win32/ezgui_win32_state.h"
#include "app/win32_text.h"

namespace {

// Long enough for any path the system can open, with room to spare.
constexpr size_t kPathRoom = 32768;

std::wstring withBackslashes(std::wstring path) {
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// "Name|*.a|Other|*.b;*.c" -> "Name\0*.a\0Other\0*.b;*.c\0\0", the form the
// dialog takes. A name without its pattern is left out.
std::wstring dialogFilter(const std::string& filter) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    const size_t bar = filter.find('|', start);
    parts.push_back(ezwFromBytes(filter.substr(start, bar - start)));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::wstring out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    out += parts[i];
    out += L'\0';
    out += parts[i + 1];
    out += L'\0';
  }
  if (!out.empty()) out += L'\0';
  return out;
}

// Message boxes break lines at "\n" or "\r\n"; the program ends lines with
// "\r" alone as well.
std::wstring boxText(const std::string& text) {
  const std::wstring given = ezwFromBytes(text);
  std::wstring shown;
  for (size_t i = 0; i < given.size(); ++i) {
    shown += given[i];
    if (given[i] == L'\r' && (i + 1 == given.size() || given[i + 1] != L'\n')) shown += L'\n';
  }
  return shown;
}

}  // namespace

std::string ezBackendSaveFile(const std::string& form, const std::string& title,
                              const std::string& folder, const std::string& fileName,
                              const std::string& filter, const std::string& extension) {
  EzwForm* owner = ezwFindForm(form);
  const std::wstring shownTitle = ezwFromBytes(title);
  const std::wstring startFolder = withBackslashes(ezwFromBytes(folder));
  const std::wstring filters = dialogFilter(filter);
  const std::wstring defaultExtension = ezwFromBytes(extension);

  // A proposed name too long to be a file is no proposal: the dialog then
  // starts in the given folder with an empty name.
  std::vector<wchar_t> chosen(kPathRoom, L'\0');
  const std::wstring proposed = withBackslashes(ezwFromBytes(fileName));
  if (proposed.size() < MAX_PATH) proposed.copy(chosen.data(), proposed.size());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner && !owner->goingAway ? owner->window : nullptr;
  dialog.lpstrFilter = filters.empty() ? nullptr : filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen.data();
  dialog.nMaxFile = static_cast<DWORD>(chosen.size());
  dialog.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
  dialog.lpstrTitle = shownTitle.empty() ? nullptr : shownTitle.c_str();
  // A name typed without extension gets the chosen filter's, or this one.
  dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
  // Choosing an existing file to append to is the ordinary case, so no
  // "replace it?" question; and the program's current folder stays its own.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return "";
  return narrow(chosen.data());
}

void EZ_MSGBOX(const std::string& text) {
  if (!ezOnGuiThread()) return;
  // No owner and an empty caption; modal to the whole program (task-modal
  // disables its windows) and brought in front of everything.
  // Without an owner, the system gives the keyboard to no window of the
  // program when the box goes: the window that had it gets it back.
  const HWND active = GetActiveWindow();
  MessageBoxW(nullptr, boxText(text).c_str(), L"",
              MB_OK | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST);
  if (active && IsWindow(active) && IsWindowEnabled(active)) SetForegroundWindow(active);
}
