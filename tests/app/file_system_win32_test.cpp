// Names beyond ASCII on Windows: the save dialog's first folder is the
// current one, which may lie below C:\Users\José.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "app/file_system.h"

TEST(FileSystemWin32, CurrentFolderNamedBeyondAscii) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring stem = L"Jos\u00e9-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring folder = std::wstring(temp) + stem;
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));

  const std::string found = currentFolder();
  SetCurrentDirectoryW(before);
  RemoveDirectoryW(folder.c_str());
  const std::string tail = "\\Jos\xc3\xa9-" + std::to_string(GetCurrentProcessId()) + "\\";
  ASSERT_GE(found.size(), tail.size());
  EXPECT_EQ(found.substr(found.size() - tail.size()), tail);
}
