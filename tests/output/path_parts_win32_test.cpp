// Windows paths: a folder ends at "\", "/" or a drive's ":", and the limit
// of 260 counts characters.
#include <string>

#include <gtest/gtest.h>

#include "output/path_parts.h"

TEST(PathPartsWin32, FoldersEndAtBackslashSlashOrColon) {
  struct Case {
    const char* path;
    const char* name;
    const char* folder;
  };
  const Case cases[] = {
      {"C:\\Data\\river.csv", "river", "C:\\Data\\"},
      {"C:\\x\\log", "log", "C:\\x\\"},
      {"C:river.csv", "river", "C:"},
      {"C:\\Data/sub\\river.2024.csv", "river.2024", "C:\\Data/sub\\"},
      {"C:/Data/river.csv", "river", "C:/Data/"},
      {"\\\\server\\share\\run.csv", "run", "\\\\server\\share\\"},
      {"river.csv", "river", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pathNamePart(c.path), c.name) << c.path;
    EXPECT_EQ(pathFolderPart(c.path), c.folder) << c.path;
  }
}

TEST(PathPartsWin32, TheLimitCountsCharactersNotBytes) {
  // 260 characters, of which the 100 letters é take two bytes each.
  std::string atLimit = "C:\\Users\\";
  for (int i = 0; i < 100; ++i) atLimit += "\xc3\xa9";
  atLimit += "\\";
  const std::string name(260 - 110 - 4, 'n');
  atLimit += name + ".csv";
  EXPECT_EQ(pathNamePart(atLimit), name);
  EXPECT_EQ(pathFolderPart(atLimit).size(), atLimit.size() - name.size() - 4);

  EXPECT_EQ(pathNamePart(atLimit + "x"), "");
  EXPECT_EQ(pathFolderPart(atLimit + "x"), "");
}
