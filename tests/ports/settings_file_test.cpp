#include "ports/settings_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A fresh folder of our own; create_directory refuses one that exists.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && folder.empty(); ++attempt) {
      const fs::path candidate =
          fs::temp_directory_path() / ("morvane-settings-" + std::to_string(random()));
      if (fs::create_directory(candidate)) folder = candidate;
    }
    ASSERT_FALSE(folder.empty());
    path = (folder / "MorvTran.ini").string();
  }
  void TearDown() override { fs::remove_all(folder); }

  void put(const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good());
  }
  std::string content() {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path folder;
  std::string path;
};

}  // namespace

TEST_F(SettingsFileTest, WrittenLineReadsBack) {
  writeSettingsFile(path, 3);
  EXPECT_EQ(content(), "3\r\n");
  EXPECT_EQ(readSettingsFile(path), 3);

  writeSettingsFile(path, 100);
  EXPECT_EQ(content(), "100\r\n");
  EXPECT_EQ(readSettingsFile(path), 100);

  // A shorter number must not leave the tail of a longer one behind.
  writeSettingsFile(path, 12);
  EXPECT_EQ(content(), "12\r\n");
  EXPECT_EQ(readSettingsFile(path), 12);
}

TEST_F(SettingsFileTest, NoFileOrNoContentGivesZero) {
  EXPECT_EQ(readSettingsFile(path), 0);
  put("");
  EXPECT_EQ(readSettingsFile(path), 0);
  put("\r\n7\r\n");
  EXPECT_EQ(readSettingsFile(path), 0);
  EXPECT_EQ(readSettingsFile(""), 0);
}

TEST_F(SettingsFileTest, UnreadableFileGivesZero) {
  fs::create_directory(path);
  EXPECT_EQ(readSettingsFile(path), 0);
}

TEST_F(SettingsFileTest, AcceptedLineEndings) {
  const std::pair<const char*, int> cases[] = {{"7", 7},
                                               {"12\n", 12},
                                               {"12\r", 12},
                                               {"5 \r\n", 5},
                                               {"5   ", 5},
                                               {"05\r\n", 5},
                                               {"1\r\n", 1},
                                               {"100", 100},
                                               {"5\x1a", 5},
                                               {"5\x1a"
                                                "9",
                                                5},
                                               {"9\r\n42", 9},
                                               {"0000000000000000000042", 42},
                                               {"8\r\ngarbage", 8}};
  for (const auto& [bytes, expected] : cases) {
    put(bytes);
    EXPECT_EQ(readSettingsFile(path), expected) << "content: " << bytes;
  }
}

TEST_F(SettingsFileTest, AnythingElseGivesZero) {
  const char* cases[] = {"0\r\n",
                         "101\r\n",
                         "65536\r\n",
                         "99999999999999999999",
                         "-3\r\n",
                         "+3\r\n",
                         " 3\r\n",
                         "3.0\r\n",
                         "3x\r\n",
                         "3 4\r\n",
                         "abc\r\n",
                         "\t3",
                         "3\t",
                         "\x1a"
                         "3"};
  for (const char* bytes : cases) {
    put(bytes);
    EXPECT_EQ(readSettingsFile(path), 0) << "content: " << bytes;
  }
  put(std::string("3\0", 2));
  EXPECT_EQ(readSettingsFile(path), 0);
}

TEST_F(SettingsFileTest, UnwritableFileIsSkippedQuietly) {
  const std::string inMissingFolder = (folder / "missing" / "MorvTran.ini").string();
  writeSettingsFile(inMissingFolder, 3);
  EXPECT_FALSE(fs::exists(inMissingFolder));

  fs::create_directory(path);
  writeSettingsFile(path, 3);
  EXPECT_TRUE(fs::is_directory(path));

  writeSettingsFile("", 3);
}

// The file lives in the per-user folder, whose name holds the user's.
TEST_F(SettingsFileTest, FolderNamedBeyondAscii) {
  const std::string named =
      "Jos\xc3\xa9 Pr\xc3\xbc"
      "fung";
  const fs::path wide = folder / fs::path(std::u8string(named.begin(), named.end()));
  ASSERT_TRUE(fs::create_directory(wide));
  const std::string utf8 = folder.string() + "/" + named + "/MorvTran.ini";

  writeSettingsFile(utf8, 7);
  std::ifstream in(wide / "MorvTran.ini", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "7\r\n");
  EXPECT_EQ(readSettingsFile(utf8), 7);
}
