#include "app/ezgui/ezgui_colours.h"

#include <algorithm>
#include <array>
#include <map>

#include "app/ezgui/ezgui_backend.h"

namespace {

constexpr std::array<EzRgb, 32> Palette = {{
    {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},   {128, 0, 0},
    {128, 0, 128},   {128, 128, 0},   {192, 192, 192}, {128, 128, 128}, {0, 0, 255},
    {0, 192, 0},     {0, 255, 255},   {230, 40, 40},   {255, 0, 255},   {255, 255, 0},
    {255, 255, 255}, {224, 224, 224}, {170, 200, 255}, {150, 230, 150}, {190, 245, 245},
    {255, 170, 170}, {245, 190, 245}, {200, 210, 230}, {255, 250, 215}, {255, 150, 0},
    {150, 90, 40},   {0, 0, 96},      {96, 96, 0},     {0, 110, 110},   {140, 60, 200},
    {230, 190, 40},  {200, 200, 210},
}};

// The colours the program gave numbers of its own (GUI thread only).
std::map<int, EzRgb> Defined;

EzRgb scaled(EzRgb c, int numerator, int denominator) {
  const auto part = [&](int v) { return std::min(255, v * numerator / denominator); };
  return {part(c.red), part(c.green), part(c.blue)};
}

EzRgb lighter(EzRgb c) {
  const auto part = [](int v) { return v + (255 - v) * 6 / 10; };
  return {part(c.red), part(c.green), part(c.blue)};
}

EzRgb mix(EzRgb a, EzRgb b) {
  return {(a.red + b.red) / 2, (a.green + b.green) / 2, (a.blue + b.blue) / 2};
}

}  // namespace

std::optional<EzRgb> ezPaletteRgb(int number) {
  if (number < 0 || number >= static_cast<int>(Palette.size())) return std::nullopt;
  return Palette[static_cast<size_t>(number)];
}

std::optional<EzRgb> ezColourRgb(int number) {
  if (const auto it = Defined.find(number); it != Defined.end()) return it->second;
  return ezPaletteRgb(number);
}

EzRgb ezRgbFromBgr(int bgr) {
  const unsigned v = static_cast<unsigned>(bgr);
  return {static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
          static_cast<int>((v >> 16) & 0xFF)};
}

void ezForgetColours() {
  Defined.clear();
}

EzButtonColours ezButtonColours(EzRgb face, EzRgb text, bool disabled) {
  EzButtonColours c;
  c.face = disabled ? mix(face, {160, 160, 160}) : face;
  c.text = disabled ? EzRgb{110, 110, 110} : text;
  c.light = lighter(c.face);
  c.dark = scaled(c.face, 10, 17);
  c.darkest = scaled(c.face, 1, 3);
  return c;
}

void EZ_DEFSYSTEMCOLOR(int number, int systemIndex) {
  Defined[number] = ezBackendSystemColour(systemIndex);
}

void EZ_DEFCOLORL(int number, int bgr) {
  Defined[number] = ezRgbFromBgr(bgr);
}
