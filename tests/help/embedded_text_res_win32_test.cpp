// The help text embedded in the Windows program: the document byte for
// byte, found by its name in any letter case.
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "help/help_window.h"

namespace {

std::string embeddedFileOnDisk() {
  std::ifstream file(std::string(MORVANE_SOURCE_DIR) + "/src/resources/embedded/MorvHelpRTF.rtf",
                     std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace

TEST(EmbeddedTextWin32, TheHelpTextIsTheDocumentByteForByte) {
  const std::string onDisk = embeddedFileOnDisk();
  ASSERT_GT(onDisk.size(), 1000u);
  EXPECT_EQ(loadEmbeddedText("MorvHelpRTF"), onDisk);
  EXPECT_EQ(loadEmbeddedText("morvhelprtf"), onDisk) << "names are found in any letter case";
  EXPECT_EQ(loadEmbeddedText(std::string("MorvHelpRTF\0tail", 16)), onDisk)
      << "a name ends at its first NUL";
  EXPECT_EQ(loadEmbeddedText("MorvHelp"), "");
  EXPECT_EQ(loadEmbeddedText("MorvHelpRTF.rtf"), "");
  EXPECT_EQ(loadEmbeddedText(""), "");
  EXPECT_EQ(loadEmbeddedText("#1"), "") << "not the resource numbered 1";
  // The pictures are resources too, but no documents.
  EXPECT_EQ(loadEmbeddedText("BG2"), "");
}
