// Paths from the GUI layer over Win32: "\" as the separator, the form
// Windows users read.
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"

TEST(EzguiPathsWin32, ProgramPathWithBackslashesAndItsFolder) {
  const std::string program = EZ_GETAPPPATHNAME();
  const std::string name = "app_ezgui_paths_win32_test.exe";
  ASSERT_GT(program.size(), name.size());
  EXPECT_EQ(program.substr(program.size() - name.size()), name);
  EXPECT_EQ(program.find('/'), std::string::npos) << program;
  EXPECT_EQ(program[1], ':') << program;

  const std::string folder = EZ_APPPATH();
  EXPECT_EQ(folder + name, program);
  EXPECT_EQ(folder.back(), '\\');
}

TEST(EzguiPathsWin32, FolderPartTakesEitherSeparator) {
  EXPECT_EQ(EZ_GETPATHTEXT("C:\\Program Files\\Morvane\\morvane.exe"),
            "C:\\Program Files\\Morvane\\");
  EXPECT_EQ(EZ_GETPATHTEXT("C:/Data/river.csv"), "C:\\Data\\");
  EXPECT_EQ(EZ_GETPATHTEXT("C:\\Data/sub\\river.csv"), "C:\\Data\\sub\\");
  EXPECT_EQ(EZ_GETPATHTEXT("D:\\"), "D:\\");
  EXPECT_EQ(EZ_GETPATHTEXT("river.csv"), "");
  EXPECT_EQ(EZ_GETPATHTEXT(""), "");
}
