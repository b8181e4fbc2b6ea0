#include <windows.h>

#include "app/program_folder.h"
#include "app/win32_text.h"

namespace {

std::wstring withSeparator(std::wstring folder) {
  if (folder.empty() || (folder.back() != L'\\' && folder.back() != L'/')) folder += L'\\';
  return folder;
}

// Access rights decide, and only trying tells: a folder's attributes say
// nothing about them (Program Files is not read-only, yet closed to users).
bool writable(const std::wstring& folder) {
  wchar_t probe[MAX_PATH];
  if (folder.size() + 14 > MAX_PATH) return false;
  if (GetTempFileNameW(folder.c_str(), L"mrv", 0, probe) == 0) return false;
  DeleteFileW(probe);
  return true;
}

std::wstring environmentFolder(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

}  // namespace

// The program's folder when it can be written to (a portable copy), else
// %LOCALAPPDATA%\Morvane\, created when missing, as for an installed copy.
std::string dataFolderFor(const std::string& programFolder) {
  const std::wstring own = withSeparator(widen(programFolder));
  if (writable(own)) return narrow(own);
  const std::wstring base = environmentFolder(L"LOCALAPPDATA");
  if (base.empty()) return narrow(own);  // nowhere better; writes there fail as they would anyway
  const std::wstring folder = withSeparator(base) + L"Morvane";
  CreateDirectoryW(folder.c_str(), nullptr);
  return narrow(folder + L'\\');
}
