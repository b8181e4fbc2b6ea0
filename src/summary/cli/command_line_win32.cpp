#include <windows.h>

#include <shellapi.h>

#include "app/win32_text.h"
#include "summary/cli/command_line.h"

// argv holds the ANSI code page's text, which cannot name every file.
std::vector<std::string> commandArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(narrow(wide[i]));
  LocalFree(wide);
  return args;
}

void useUtf8Console() {
  SetConsoleOutputCP(CP_UTF8);
}
