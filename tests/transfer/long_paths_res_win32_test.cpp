// An output file deep in a synced Documents folder: past the old limit of
// 260 characters. The program's manifest (linked here with its other
// resources) lets such a name open without the "\\?\" prefix. Wine has no
// such limit, so only the declaration itself shows what Windows will do.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "app/win32_text.h"
#include "transfer/transfer_files.h"

TEST(LongPathsWin32, TheManifestDeclaresLongPaths) {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  const std::string manifest(bytes, SizeofResource(nullptr, found));
  std::string flat;
  for (const char c : manifest) {
    if (c != ' ' && c != '\n' && c != '\r') flat += c;
  }
  EXPECT_NE(flat.find("<longPathAwarexmlns=\"http://schemas.microsoft.com/SMI/2016/"
                      "WindowsSettings\">true</longPathAware>"),
            std::string::npos)
      << manifest;
}

TEST(LongPathsWin32, AnOutputFilePastTwoHundredSixtyCharactersOpens) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  std::wstring folder =
      std::wstring(temp) + L"morvane-deep-" + std::to_wstring(GetCurrentProcessId());
  std::wstring made = folder;
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + made).c_str(), nullptr));
  for (int level = 0; level < 4; ++level) {
    made += L"\\" + std::wstring(70, static_cast<wchar_t>(L'a' + level));
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + made).c_str(), nullptr));
  }
  const std::wstring file = made + L"\\river.csv";
  ASSERT_GT(file.size(), static_cast<size_t>(MAX_PATH));

  const int fd = openOutputFile(narrow(file), true);
  EXPECT_GE(fd, 0) << "could not open a path of " << file.size() << " characters";
  if (fd >= 0) {
    EXPECT_EQ(writeWithin(fd, "1\n", 2, 0), WriteOutcome::Written);
    closeTransferFile(fd);
  }

  DeleteFileW((L"\\\\?\\" + file).c_str());
  for (std::wstring at = made; at.size() > folder.size(); at.resize(at.rfind(L'\\')))
    RemoveDirectoryW((L"\\\\?\\" + at).c_str());
  RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}
