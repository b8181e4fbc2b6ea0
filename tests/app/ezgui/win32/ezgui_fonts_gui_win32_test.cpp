// Numbered fonts of the GUI layer over Win32 under Wine: the fonts the
// program defines and the built-in ones reach the controls made after
// EZ_USEFONT or EZ_USEIFONT, and the owner-drawn button's text.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

std::function<void()> whenStarted;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form == "MAIN" && id == 0 && code == EzStarted) {
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  }
}

void design(const std::string& form) {
  if (form != "MAIN") return;
  EZ_DEFFONT(6, "Courier New", 10, " L+F");
  EZ_DEFFONT(8, "Times New Roman", 12, "BIU");
  EZ_USEFONT(6);
  EZ_LABEL(form, 1, "fixed", 1, 1, 20, 1.5f, "");
  EZ_USEFONT(8);
  EZ_TEXT(form, 2, "serif", 1, 3, 20, 1.5f, "");
  EZ_USEFONT(2);
  EZ_LABEL(form, 3, "bold", 1, 5, 20, 1.5f, "");
  EZ_USEIFONT("Tahoma", 9, "B");
  EZ_RADIO(form, 4, "Tahoma", 1, 7, 20, 1.5f, "");
  EZ_USEFONT(-1);
  EZ_LABEL(form, 5, "plain", 1, 9, 20, 1.5f, "");
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 40, 14, "");
}

void run(std::function<void()> started) {
  whenStarted = std::move(started);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

LOGFONTW fontOf(int id) {
  LOGFONTW face{};
  const auto font =
      reinterpret_cast<HFONT>(SendMessageW(ezwFindControl("MAIN", id)->window, WM_GETFONT, 0, 0));
  GetObjectW(font, sizeof face, &face);
  return face;
}

LONG pixelsFor(int points) {
  const HDC screen = GetDC(nullptr);
  const LONG height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return height;
}

}  // namespace

TEST(EzguiFontsWin32, DefinedAndBuiltInFontsReachTheNextControls) {
  LOGFONTW fixed{}, serif{}, bold{}, tahoma{}, plain{}, layer{};
  run([&] {
    fixed = fontOf(1);
    serif = fontOf(2);
    bold = fontOf(3);
    tahoma = fontOf(4);
    plain = fontOf(5);
    GetObjectW(ezwControlFont(), sizeof layer, &layer);
  });
  EXPECT_STREQ(fixed.lfFaceName, L"Courier New");
  EXPECT_EQ(fixed.lfHeight, pixelsFor(10));
  EXPECT_EQ(fixed.lfPitchAndFamily & 3, FIXED_PITCH);
  EXPECT_EQ(fixed.lfWeight, FW_NORMAL);

  EXPECT_STREQ(serif.lfFaceName, L"Times New Roman");
  EXPECT_EQ(serif.lfHeight, pixelsFor(12));
  EXPECT_EQ(serif.lfWeight, FW_BOLD);
  EXPECT_TRUE(serif.lfItalic);
  EXPECT_TRUE(serif.lfUnderline);

  EXPECT_STREQ(bold.lfFaceName, layer.lfFaceName);
  EXPECT_EQ(bold.lfWeight, FW_BOLD);

  EXPECT_STREQ(tahoma.lfFaceName, L"Tahoma");
  EXPECT_EQ(tahoma.lfHeight, pixelsFor(9));
  EXPECT_EQ(tahoma.lfWeight, FW_BOLD);

  // After EZ_USEFONT(-1), the layer's own font again.
  EXPECT_STREQ(plain.lfFaceName, layer.lfFaceName);
  EXPECT_EQ(plain.lfHeight, layer.lfHeight);
  EXPECT_EQ(plain.lfWeight, layer.lfWeight);
}
