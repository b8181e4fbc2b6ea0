// Fonts and colours by number over Qt. The colours' numbers and palette
// are the layer's (../ezgui_colours.h); here they become QColors.
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

#include "app/ezgui/ezgui_colours.h"

inline constexpr int EzFirstProgramFont = 6;

// An invalid QColor for -1 and for numbers nobody defined.
QColor ezColour(int number);
QColor ezPaletteColour(int number);  // 0..31, else invalid
QColor ezQColor(std::optional<EzRgb> colour);
// Windows system colour indices mapped onto the application palette.
QColor ezSystemColour(int systemIndex);

QFont ezFont(int number);  // -1 and unknown numbers: the application font
QFont ezMakeFont(const std::string& face, float points, const std::string& props);
// The font for a control created now: the last EZ_USEFONT / EZ_USEIFONT.
QFont ezNextControlFont();
