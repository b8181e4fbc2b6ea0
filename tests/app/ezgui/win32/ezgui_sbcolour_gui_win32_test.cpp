// The window's fixed colours through the GUI layer over Win32 under Wine,
// on a desktop whose scheme is dark: the status bar in its own light grey
// with black text, and a caption in a colour the program defined by value
// (white, number 33) on a background it defined (number 36), as drawn on
// the screen.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr int kStatus = 900;
constexpr int kCaption = 120;
std::function<void()> whenStarted;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form == "MAIN" && id == 0 && code == EzStarted) {
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  }
}

void design(const std::string& form) {
  EZ_DEFCOLORL(33, 16777215);
  EZ_DEFCOLORL(36, 7651440);
  EZ_COLOR(33, 36);
  EZ_LABEL(form, kCaption, "Append", 2, 2, 30, 1.5, "L");
  EZ_COLOR(-1, -1);
  EZ_STATUSBAR(form, kStatus, "", "");
  EZ_SETSBPARTS(form, kStatus, 2, "50|50");
  EZ_SETSBTEXT(form, kStatus, 1, "Waiting for data", "");
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 60, 16, "");
}

// A dark desktop scheme for the test's length: the colours the common
// controls would take theirs from.
class DarkScheme {
 public:
  DarkScheme() {
    for (int i = 0; i < 3; ++i) saved_[i] = GetSysColor(kIndices[i]);
    const COLORREF dark[3] = {RGB(32, 32, 32), RGB(255, 255, 255), RGB(32, 32, 32)};
    SetSysColors(3, kIndices, dark);
  }
  ~DarkScheme() { SetSysColors(3, kIndices, saved_); }

 private:
  static constexpr int kIndices[3] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW};
  COLORREF saved_[3] = {};
};

struct Pixels {
  COLORREF background = 0;
  int black = 0;
  int white = 0;
};

// What `window` shows in `area`: the colour near its right end, and how
// many pixels of its text are black and how many white.
Pixels drawn(HWND window, RECT area) {
  RedrawWindow(ezwFormWindow("MAIN"), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pixels seen;
  const HDC dc = GetDC(window);
  seen.background = GetPixel(dc, area.right - 6, (area.top + area.bottom) / 2);
  for (int x = area.left + 2; x < (area.left + area.right) / 2; ++x) {
    for (int y = area.top + 2; y < area.bottom - 2; ++y) {
      const COLORREF c = GetPixel(dc, x, y);
      if (c == RGB(0, 0, 0)) ++seen.black;
      if (c == RGB(255, 255, 255)) ++seen.white;
    }
  }
  ReleaseDC(window, dc);
  return seen;
}

}  // namespace

TEST(EzguiFixedColoursWin32, StatusBarAndCaptionsKeepTheirColoursUnderADarkScheme) {
  DarkScheme scheme;
  Pixels bar, caption;
  whenStarted = [&] {
    ShowWindow(ezwFormWindow("MAIN"), SW_SHOWNORMAL);
    const HWND status = ezwFindControl("MAIN", kStatus)->window;
    RECT part{};
    SendMessageW(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    bar = drawn(status, part);
    const HWND label = ezwFindControl("MAIN", kCaption)->window;
    RECT area{};
    GetClientRect(label, &area);
    caption = drawn(label, area);
  };
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
  EXPECT_EQ(bar.background, RGB(240, 240, 240)) << "the bar's own background";
  EXPECT_GT(bar.black, 20) << "its text in black";
  EXPECT_EQ(bar.white, 0) << "not in the scheme's text colour";
  EXPECT_EQ(caption.background, RGB(112, 192, 116)) << "colour 36 as defined";
  EXPECT_GT(caption.white, 20) << "the caption in colour 33, white";
}
