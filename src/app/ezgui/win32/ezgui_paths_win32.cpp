// Paths as Windows users write them: the layer hands out every path with
// "\", and folders end in it.
#include <string>

#include "app/ezgui/win32/ezgui_win32_state.h"
#include "app/path_style.h"
#include "app/win32_text.h"

std::string EZ_GETAPPPATHNAME() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "";
    if (length < path.size()) {
      path.resize(length);
      return narrow(path);
    }
    path.resize(path.size() * 2);
  }
}

std::string EZ_GETPATHTEXT(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? std::string() : nativePath(path.substr(0, separator + 1));
}

std::string EZ_APPPATH() {
  return EZ_GETPATHTEXT(EZ_GETAPPPATHNAME());
}
