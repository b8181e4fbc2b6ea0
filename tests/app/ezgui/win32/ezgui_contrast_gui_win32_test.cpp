// Under a High Contrast theme the GUI layer over Win32 paints in the
// system's colours: the status bar, a caption with colours of the
// program's own and the form's background, as drawn on the screen under
// Wine. Wine's desktop has no High Contrast switch, so the test answers
// the layer's question about the theme itself and sets the system's
// colours as such a theme would, then tells the window as the system does.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr int kStatus = 260;
constexpr int kCaption = 100;
constexpr COLORREF kFace = RGB(0, 0, 0);
constexpr COLORREF kFaceText = RGB(255, 255, 0);
constexpr COLORREF kWindow = RGB(0, 0, 128);
std::function<void()> whenStarted;
bool highContrast = false;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form == "MAIN" && id == 0 && code == EzStarted) {
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  }
}

void design(const std::string& form) {
  EZ_DEFCOLORL(36, 7651440);
  EZ_COLOR(15, 36);
  EZ_LABEL(form, kCaption, "Incoming data", 2, 2, 30, 1.5, "L");
  EZ_COLOR(-1, -1);
  EZ_STATUSBAR(form, kStatus, "", "");
  EZ_SETSBPARTS(form, kStatus, 2, "50|50");
  EZ_SETSBTEXT(form, kStatus, 1, "Waiting for data", "");
}

void startup(int) {
  EZ_DEFCOLORL(40, 7368788);
  EZ_COLOR(0, 40);
  EZ_FORM("MAIN", "", "Main", 0, 0, 60, 16, "");
}

// The colours a High Contrast theme gives, for the test's length.
class ContrastColours {
 public:
  ContrastColours() {
    for (int i = 0; i < kCount; ++i) saved_[i] = GetSysColor(kIndices[i]);
    const COLORREF theme[kCount] = {kFace, kFaceText, kWindow, kFaceText};
    SetSysColors(kCount, kIndices, theme);
  }
  ~ContrastColours() { SetSysColors(kCount, kIndices, saved_); }
  ContrastColours(const ContrastColours&) = delete;
  ContrastColours& operator=(const ContrastColours&) = delete;

 private:
  static constexpr int kCount = 4;
  static constexpr int kIndices[kCount] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW,
                                           COLOR_WINDOWTEXT};
  COLORREF saved_[kCount] = {};
};

struct Pixels {
  COLORREF background = 0;
  int text = 0;  // pixels in the theme's text colour
};

// What the window shows in `area` once its pending paints are done,
// without asking it to paint anew.
Pixels drawn(HWND window, RECT area) {
  for (int i = 0; i < 5; ++i) {
    EZ_DOEVENTS(0);
    Sleep(20);
  }
  Pixels seen;
  const HDC dc = GetDC(window);
  seen.background = GetPixel(dc, area.right - 6, (area.top + area.bottom) / 2);
  for (int x = area.left + 2; x < (area.left + area.right) / 2; ++x) {
    for (int y = area.top + 2; y < area.bottom - 2; ++y) {
      if (GetPixel(dc, x, y) == kFaceText) ++seen.text;
    }
  }
  ReleaseDC(window, dc);
  return seen;
}

RECT firstPart(HWND status) {
  RECT part{};
  SendMessageW(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
  return part;
}

}  // namespace

TEST(EzguiHighContrastWin32, TheStatusBarCaptionsAndBackgroundTakeTheSystemsColours) {
  ContrastColours colours;
  ezwHighContrastQuery = [] { return highContrast; };
  Pixels barBefore, bar, caption, background;
  whenStarted = [&] {
    const HWND form = ezwFormWindow("MAIN");
    ShowWindow(form, SW_SHOWNORMAL);
    const HWND status = ezwFindControl("MAIN", kStatus)->window;
    barBefore = drawn(status, firstPart(status));
    // The theme goes on: the system tells every window.
    highContrast = true;
    SendMessageW(form, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    bar = drawn(status, firstPart(status));
    const HWND label = ezwFindControl("MAIN", kCaption)->window;
    RECT area{};
    GetClientRect(label, &area);
    caption = drawn(label, area);
    RECT client{};
    GetClientRect(form, &client);
    background =
        drawn(form, RECT{client.right - 40, client.top + 60, client.right, client.top + 80});
  };
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
  EXPECT_EQ(barBefore.background, RGB(240, 240, 240)) << "the bar's own colour without the theme";
  EXPECT_EQ(bar.background, kFace);
  EXPECT_GT(bar.text, 20) << "the bar's text in the theme's text colour";
  EXPECT_EQ(caption.background, kFace) << "not the program's colour 36";
  EXPECT_GT(caption.text, 20) << "the caption in the theme's text colour, not colour 15";
  EXPECT_EQ(background.background, kWindow) << "not the program's colour 40";
}
