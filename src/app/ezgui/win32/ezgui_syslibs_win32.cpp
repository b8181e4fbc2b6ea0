// System libraries come from the system folder only. A library loaded by
// bare name is looked for in the program's folder first, and a copy of the
// program run from Downloads would take a library of that name planted
// there. SetDefaultDllDirectories (Windows 8, and 7 with its update) and
// the search flag are looked up, as Windows 7 may lack them; without
// them the library is loaded by its full path in the system folder.
#include "app/ezgui/win32/ezgui_win32_state.h"

void ezwSearchSystemFolderOnly() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto set = kernel ? reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
                                GetProcAddress(kernel, "SetDefaultDllDirectories")))
                          : nullptr;
  if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE ezwSystemLibrary(const wchar_t* name) {
  if (const HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return module;
  }
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder) + L"\\" + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
