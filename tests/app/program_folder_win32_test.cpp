// Where the program keeps its own files on Windows: its folder when that
// can be written to, else %LOCALAPPDATA%\Morvane.
#include <windows.h>

#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "app/program_folder.h"

namespace fs = std::filesystem;

namespace {

fs::path freshFolder(const std::string& stem) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = fs::temp_directory_path() / (stem + std::to_string(random()));
    if (fs::create_directory(candidate)) return candidate;
  }
  return {};
}

class ProgramFolderWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    root = freshFolder("morvane-folder-");
    ASSERT_FALSE(root.empty());
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", value, MAX_PATH);
    hadLocalAppData = length > 0 && length < MAX_PATH;
    if (hadLocalAppData) previousLocalAppData.assign(value, length);
    localAppData = root / "LocalAppData";
    fs::create_directory(localAppData);
    SetEnvironmentVariableW(L"LOCALAPPDATA", localAppData.wstring().c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"LOCALAPPDATA",
                            hadLocalAppData ? previousLocalAppData.c_str() : nullptr);
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  fs::path root;
  fs::path localAppData;
  std::wstring previousLocalAppData;
  bool hadLocalAppData = false;
};

}  // namespace

TEST_F(ProgramFolderWin32Test, WritableProgramFolderIsUsedWithOneSeparator) {
  const std::string own = root.string();
  EXPECT_EQ(dataFolderFor(own), own + "\\");
  EXPECT_EQ(dataFolderFor(own + "\\"), own + "\\");
  // Trying the folder leaves nothing behind in it.
  size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(root)) entries += entry.path() != localAppData;
  EXPECT_EQ(entries, 0u);
  EXPECT_FALSE(fs::exists(localAppData / "Morvane"));
}

TEST_F(ProgramFolderWin32Test, UnwritableProgramFolderGivesTheUsersOwn) {
  const std::string closed = (root / "not-there").string();
  const std::string expected = (localAppData / "Morvane").string() + "\\";
  EXPECT_EQ(dataFolderFor(closed), expected);
  EXPECT_TRUE(fs::is_directory(localAppData / "Morvane"));
  // Asking again finds the folder made the first time.
  EXPECT_EQ(dataFolderFor(closed + "\\"), expected);
}

TEST_F(ProgramFolderWin32Test, WithoutLocalAppDataTheProgramFolderStays) {
  SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
  const std::string closed = (root / "not-there").string();
  EXPECT_EQ(dataFolderFor(closed), closed + "\\");
}

TEST_F(ProgramFolderWin32Test, FolderNamesBeyondAsciiRoundTrip) {
  const fs::path wide = root / L"Messungen \u00dcbersicht";
  ASSERT_TRUE(fs::create_directory(wide));
  const std::string utf8 = root.string() +
                           "\\Messungen \xc3\x9c"
                           "bersicht";
  EXPECT_EQ(dataFolderFor(utf8), utf8 + "\\");
}
