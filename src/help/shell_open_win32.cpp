// shellapi.h needs the types of windows.h.
#include <windows.h>

#include <shellapi.h>

#include "app/win32_text.h"
#include "help/shell_open.h"

void shellOpenFile(const std::string& path) {
  ShellExecuteW(nullptr, L"open", widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
