// Linux file names may hold "\" and ":"; only "/" ends a folder there.
#include <gtest/gtest.h>

#include "output/path_parts.h"

TEST(PathParts, BackslashAndColonAreOrdinaryCharacters) {
  EXPECT_EQ(pathNamePart("/data/run:2.csv"), "run:2");
  EXPECT_EQ(pathNamePart("C:\\Data\\river.csv"), "C:\\Data\\river");
  EXPECT_EQ(pathFolderPart("/data/run:2.csv"), "/data/");
  EXPECT_EQ(pathFolderPart("C:\\Data\\river.csv"), "");
}
