// Embedded documents in the Windows build: raw-data resources (RCDATA) of
// the program, found by name in any letter case as the system finds them.
#include <windows.h>

#include <string>

#include "help/help_window.h"

namespace {

constexpr std::string::size_type kLongestName = 199;

}  // namespace

std::string loadEmbeddedText(const std::string& resourceName) {
  // The name is taken up to its first NUL and cut to the longest name.
  const std::string name = std::string(resourceName.c_str()).substr(0, kLongestName);
  // "#n" would ask for a resource by number; the program names its documents.
  if (name.empty() || name[0] == '#') return {};
  std::wstring wide;
  for (const unsigned char c : name) wide += static_cast<wchar_t>(c);
  const HMODULE program = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(program, wide.c_str(), RT_RCDATA);
  if (!found) return {};
  const HGLOBAL loaded = LoadResource(program, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return std::string(static_cast<const char*>(bytes), SizeofResource(program, found));
}
