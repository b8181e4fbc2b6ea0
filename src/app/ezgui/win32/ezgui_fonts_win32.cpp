// Fonts by number, as the layer over Qt has them: five built in (1 fixed,
// 2 bold, 3 italic, 4 the layer's face at 10 points, 5 fixed and bold),
// any number the program defines by face, size and letters (B bold,
// I italic, U underlined, F fixed pitch), and the font of the next
// controls made.
#include <algorithm>
#include <iterator>

#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

bool has(const std::string& props, char letter) {
  return props.find(letter) != std::string::npos;
}

HFONT made(const LOGFONTW& face) {
  const HFONT font = CreateFontIndirectW(&face);
  if (font) EzWin.madeFonts.push_back(font);
  return font;
}

LOGFONTW layerFace() {
  LOGFONTW face{};
  GetObjectW(ezwControlFont(), sizeof face, &face);
  return face;
}

LONG heightOf(float points) {
  return -MulDiv(static_cast<int>(points * 10 + 0.5f), static_cast<int>(ezwDpi()), 720);
}

void setFace(LOGFONTW& face, const std::wstring& name) {
  const std::wstring cut = name.substr(0, LF_FACESIZE - 1);
  std::fill(std::begin(face.lfFaceName), std::end(face.lfFaceName), L'\0');
  std::copy(cut.begin(), cut.end(), face.lfFaceName);
}

LOGFONTW fixedFace() {
  LOGFONTW face = layerFace();
  setFace(face, L"Courier New");
  face.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  return face;
}

HFONT makeFont(const std::string& name, float points, const std::string& props) {
  LOGFONTW face = layerFace();
  if (!name.empty()) setFace(face, ezwFromBytes(name));
  if (points > 0) face.lfHeight = heightOf(points);
  face.lfWidth = 0;
  face.lfWeight = has(props, 'B') ? FW_BOLD : FW_NORMAL;
  face.lfItalic = has(props, 'I');
  face.lfUnderline = has(props, 'U');
  if (has(props, 'F')) face.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  return made(face);
}

HFONT builtIn(int number) {
  LOGFONTW face = number == 1 || number == 5 ? fixedFace() : layerFace();
  switch (number) {
    case 2:
    case 5:
      face.lfWeight = FW_BOLD;
      break;
    case 3:
      face.lfItalic = TRUE;
      break;
    case 4:
      face.lfHeight = heightOf(10);
      break;
    default:
      break;
  }
  return made(face);
}

}  // namespace

HFONT ezwFont(int number) {
  if (const auto it = EzWin.fonts.find(number); it != EzWin.fonts.end()) return it->second;
  if (number < 1 || number > 5) return ezwControlFont();
  const HFONT font = builtIn(number);
  if (font) EzWin.fonts[number] = font;
  return font ? font : ezwControlFont();
}

void ezwForgetFonts() {
  for (HFONT font : EzWin.madeFonts) DeleteObject(font);
  EzWin.madeFonts.clear();
  for (auto& [colour, brush] : EzWin.brushes) DeleteObject(brush);
  EzWin.brushes.clear();
  EzWin.fonts.clear();
  EzWin.nextFont = nullptr;
}

void EZ_DEFFONT(int number, const std::string& face, float points, const std::string& props) {
  if (const HFONT font = makeFont(face, points, props)) EzWin.fonts[number] = font;
}

void EZ_USEFONT(int number) {
  EzWin.nextFont = number >= 0 ? ezwFont(number) : nullptr;
}

void EZ_USEIFONT(const std::string& face, float points, const std::string& props) {
  EzWin.nextFont = makeFont(face, points, props);
}
