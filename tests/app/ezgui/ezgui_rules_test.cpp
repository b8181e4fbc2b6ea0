// The GUI layer's rules that are the same on every platform, on their own:
// which lines the rich-text view drops at its limit, and how accelerator
// tables read. Plain tests: they run in the Linux build and under Wine.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui_keys.h"
#include "app/ezgui/ezgui_lines.h"

namespace {

TEST(RichViewLimit, DropsTheOldestWholeLines) {
  EXPECT_EQ(ezCharactersToDrop(std::string("abc\ndef\n"), 0), 0u);
  EXPECT_EQ(ezCharactersToDrop(std::string("abc\ndef\n"), 8), 0u);
  EXPECT_EQ(ezCharactersToDrop(std::string("abc\ndef\n"), 7), 4u);  // the first line goes
  EXPECT_EQ(ezCharactersToDrop(std::string("abc\ndef\n"), 4), 4u);  // exactly one line left
  EXPECT_EQ(ezCharactersToDrop(std::string("abc\ndef\n"), 3), 5u);  // last line longer: cut
  EXPECT_EQ(ezCharactersToDrop(std::string("abcdefgh"), 3), 5u);    // one line only
  EXPECT_EQ(ezCharactersToDrop(std::string("ab\ncd\nef"), 5), 3u);  // unterminated last line
  EXPECT_EQ(ezCharactersToDrop(std::wstring(L"abc\ndef\n"), 7), 4u);
}

EzKeySpec key(EzKeyName name, char character, int function, bool control, bool shift, bool alt,
              int command) {
  return EzKeySpec{name, character, function, control, shift, alt, command};
}

TEST(AcceleratorTable, ReadsKeysAndLeavesOutWhatDoesNotRead) {
  using K = EzKeyName;
  const std::vector<EzKeySpec> want = {
      key(K::Function, 0, 1, false, false, false, 1111),
      key(K::Character, 'F', 0, true, false, false, 1112),
      key(K::Character, 'Z', 0, true, true, true, 1113),
      key(K::Delete, 0, 0, false, true, false, 7),
      key(K::Function, 0, 12, false, false, true, 8),
  };
  EXPECT_EQ(ezParseAcceleratorTable("F1,1111|^f,1112|%+^Z , 1113||+del,7|%F12,8"), want);
  // No command, a command that is not a number, no key, F25, an unknown name.
  EXPECT_TRUE(ezParseAcceleratorTable("F1|F2,x|,5|F25,6|PRINT,7|^,8").empty());
}

}  // namespace
