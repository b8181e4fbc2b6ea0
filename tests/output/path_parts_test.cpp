#include "output/path_parts.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

TEST(PathParts, NameIsTheLastComponentWithoutItsLastExtension) {
  EXPECT_EQ(pathNamePart("/data/river.csv"), "river");
  EXPECT_EQ(pathNamePart("/x/log"), "log");
  EXPECT_EQ(pathNamePart("a.csv"), "a");
  EXPECT_EQ(pathNamePart("/data/river.2024.csv"), "river.2024");
  EXPECT_EQ(pathNamePart("/data/.hidden"), "");
  EXPECT_EQ(pathNamePart("/data/"), "");
  EXPECT_EQ(pathNamePart(""), "");
}

TEST(PathParts, DotsInFoldersDoNotCutTheName) {
  EXPECT_EQ(pathNamePart("/home/u/runs.old/log"), "log");
  EXPECT_EQ(pathFolderPart("/home/u/runs.old/log"), "/home/u/runs.old/");
}

TEST(PathParts, FolderKeepsItsTrailingSlash) {
  EXPECT_EQ(pathFolderPart("/data/river.csv"), "/data/");
  EXPECT_EQ(pathFolderPart("/river.csv"), "/");
  EXPECT_EQ(pathFolderPart("river.csv"), "");
}

TEST(PathParts, PathsPastThePlatformLimitHaveNoParts) {
  const std::string folder = "/" + std::string(200, 'd') + "/";
  std::string atLimit = folder + std::string(PATH_MAX - folder.size() - 4, 'n') + ".csv";
  ASSERT_EQ(atLimit.size(), static_cast<size_t>(PATH_MAX));
  EXPECT_EQ(pathNamePart(atLimit), std::string(PATH_MAX - folder.size() - 4, 'n'));
  EXPECT_EQ(pathFolderPart(atLimit), folder);

  const std::string pastLimit = "n" + atLimit;
  EXPECT_EQ(pathNamePart(pastLimit), "");
  EXPECT_EQ(pathFolderPart(pastLimit), "");
}
