// Colours by number, the same on every platform.
//
// Colours 0 to 31 are the layer's own palette; the program defines its own
// from 32 up (EZ_DEFCOLORL, EZ_DEFSYSTEMCOLOR) and may redefine any. -1 is
// "the default": the control keeps the toolkit's colour.
//
//   0 black         8 dark grey       16 light grey       24 orange
//   1 dark blue     9 blue            17 light blue       25 brown
//   2 dark green   10 green           18 light green      26 navy
//   3 dark cyan    11 cyan            19 light cyan       27 olive
//   4 dark red     12 red             20 light red        28 teal
//   5 purple       13 magenta         21 light magenta    29 violet
//   6 dark yellow  14 yellow          22 light steel blue 30 gold
//   7 grey         15 white           23 cream            31 silver
//
// Also the colours of a 3-D button drawn in a face colour.
#pragma once

#include <optional>

struct EzRgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const EzRgb&, const EzRgb&) = default;
};

inline constexpr int EzFirstProgramColour = 32;

// The colour the number stands for: as the program defined it, else the
// palette's; none for -1 and for numbers nobody defined.
std::optional<EzRgb> ezColourRgb(int number);
std::optional<EzRgb> ezPaletteRgb(int number);  // 0..31, else none
EzRgb ezRgbFromBgr(int bgr);                    // 0x00BBGGRR
void ezForgetColours();                         // the program's own ones

// A raised 3-D button in `face`; sunk when pressed (the bevels swapped),
// greyed when disabled. `text` is the label's colour.
struct EzButtonColours {
  EzRgb face;
  EzRgb text;
  EzRgb light;    // the outer bevel's lit edge
  EzRgb dark;     // the inner bevel's shadowed edge
  EzRgb darkest;  // the outer bevel's shadowed edge
};
EzButtonColours ezButtonColours(EzRgb face, EzRgb text, bool disabled);
