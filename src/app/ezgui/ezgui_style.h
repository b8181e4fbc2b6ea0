// Fonts and colours by number.
//
// Colours 0 to 31 are the layer's own palette; the program defines its own
// from 32 up (EZ_DEFCOLORL, EZ_DEFSYSTEMCOLOR). -1 is "the default": the
// widget keeps its colour from the application palette.
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
// Fonts 0 to 5 are the layer's own; the program defines its own from 6 up.
//   0 the application font       3 the application font, italic
//   1 a fixed-pitch font         4 the application font at 10 points
//   2 the application font, bold 5 a fixed-pitch font, bold
// Property letters of a font: "B" bold, "I" italic, "U" underlined, "F"
// fixed pitch; other letters are ignored.
#pragma once

#include <QColor>
#include <QFont>
#include <string>

inline constexpr int EzFirstProgramColour = 32;
inline constexpr int EzFirstProgramFont = 6;

// An invalid QColor for -1 and for numbers nobody defined.
QColor ezColour(int number);
QColor ezPaletteColour(int number);  // 0..31, else invalid
// Windows system colour indices mapped onto the application palette.
QColor ezSystemColour(int systemIndex);
QColor ezColourFromBgr(int bgr);

QFont ezFont(int number);  // -1 and unknown numbers: the application font
QFont ezMakeFont(const std::string& face, float points, const std::string& props);
// The font for a control created now: the last EZ_USEFONT / EZ_USEIFONT.
QFont ezNextControlFont();
