// Accelerator tables, the same on every platform: "F1,1111|^F,1112", each
// entry a key and the command identifier it gives. "^" is Ctrl, "+" Shift,
// "%" Alt, prefixes combined in any order; the key is a letter or digit,
// F1 to F24, or one of the names DEL, DELETE, INS, INSERT, HOME, END, PGUP,
// PGDN, ESC, TAB, ENTER, RETURN, SPACE, UP, DOWN, LEFT, RIGHT, BACKSPACE
// (any letter case). Entries that do not read so are left out.
#pragma once

#include <string>
#include <vector>

enum class EzKeyName {
  Character,  // a letter (upper case) or digit
  Function,   // F1 to F24
  Delete,
  Insert,
  Home,
  End,
  PageUp,
  PageDown,
  Escape,
  Tab,
  Enter,
  Space,
  Up,
  Down,
  Left,
  Right,
  Backspace,
};

struct EzKeySpec {
  EzKeyName name = EzKeyName::Character;
  char character = 0;  // EzKeyName::Character
  int function = 0;    // EzKeyName::Function: 1 to 24
  bool control = false;
  bool shift = false;
  bool alt = false;
  int command = 0;
  friend bool operator==(const EzKeySpec&, const EzKeySpec&) = default;
};

std::vector<EzKeySpec> ezParseAcceleratorTable(const std::string& table);
