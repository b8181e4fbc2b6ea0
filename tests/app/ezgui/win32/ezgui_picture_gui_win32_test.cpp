// Pictures and the painted background of the GUI layer over Win32, on a
// virtual display under Wine: a picture control shows its picture
// stretched over it, and the erase-background event (320) lets the program
// paint an image over the whole client area, as the main window does.
//
// The pictures are made here and entered under a reference as
// EZ_LOADPICTURE enters what it loads from the program's resources.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"
#include "support/shown_form_win32.h"

namespace {

constexpr int kLogo = 290;
constexpr int kMissing = 291;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);

struct Paints {
  int erases = 0;
  int cancel = -1;
  int dc = -1;
  float width = -1;
  float height = -1;
};
Paints seen;
int backgroundImage = 0;  // 0: the program paints nothing
std::function<void()> whenStarted;

// Event 320 as the main window's handler takes it.
void paintBackground(int value, int& cancel) {
  ++seen.erases;
  float width = 0;
  float height = 0;
  seen.dc = EZ_STARTERASEBG(value, width, height);
  seen.width = width;
  seen.height = height;
  if (seen.dc == 0 || backgroundImage == 0) return;
  EZ_DCDRAWPICTURE(seen.dc, backgroundImage, 0, 0, width + 1, height + 1);
  EZ_ENDERASEBG(cancel);
  seen.cancel = cancel;
}

void events(std::string& form, int& id, int& code, int& value, int& cancel) {
  if (form != "MAIN" || id != 0) return;
  if (code == EzStarted) {
    showFormNow(form);
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  } else if (code == EzEraseBackground) {
    paintBackground(value, cancel);
  }
}

void design(const std::string& form) {
  if (form != "MAIN") return;
  EZ_PICTURE(form, kLogo, "$LOGO", 30, 1, 20, 4, "R");
  EZ_PICTURE(form, kMissing, "$NOWHERE", 30, 8, 10, 2, "R");
}

void startup(int) {
  EZ_COLOR(-1, 17);
  EZ_FORM("MAIN", "", "Main", 0, 0, 60, 16, "");
  EZ_COLOR(-1, -1);
}

HBITMAP solidBitmap(int width, COLORREF left, COLORREF right) {
  const HDC screen = GetDC(nullptr);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, 1);
  const HDC dc = CreateCompatibleDC(screen);
  const HGDIOBJ before = SelectObject(dc, bitmap);
  for (int x = 0; x < width; ++x) SetPixel(dc, x, 0, x < width / 2 ? left : right);
  SelectObject(dc, before);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

void run(int image, std::function<void()> started) {
  seen = Paints{};
  backgroundImage = image;
  whenStarted = std::move(started);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

COLORREF pixelOf(HWND window, int x, int y) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

HWND control(int id) {
  return ezwFindControl("MAIN", id)->window;
}

}  // namespace

TEST(EzguiPictureWin32, APictureIsStretchedOverItsControl) {
  const HBITMAP logo = solidBitmap(40, kRed, kBlue);
  EzwPictures.pictures["$LOGO"] = logo;
  COLORREF left = 0, right = 0, missing = 0;
  RECT area{};
  run(0, [&] {
    GetClientRect(control(kLogo), &area);
    left = pixelOf(control(kLogo), area.right / 8, area.bottom / 2);
    right = pixelOf(control(kLogo), area.right * 7 / 8, area.bottom / 2);
    missing = pixelOf(control(kMissing), 2, 2);
    EXPECT_EQ(EZ_GETTEXT("Main", kLogo), "");
  });
  EXPECT_EQ(area.right, ezPixelsX(20));
  EXPECT_EQ(area.bottom, ezPixelsY(4));
  EXPECT_EQ(left, kRed);
  EXPECT_EQ(right, kBlue);
  // A picture that was never loaded: the form's own colour shows.
  EXPECT_EQ(missing, RGB(170, 200, 255));
}

TEST(EzguiPictureWin32, TheProgramPaintsTheBackgroundOverTheWholeClientArea) {
  const HBITMAP background = solidBitmap(1, kGreen, kGreen);
  COLORREF corner = 0, middle = 0;
  float width = 0, height = 0;
  EzwPictures.pictures["$BACK"] = background;
  run(EZ_IMAGEHANDLE("$BACK"), [&] {
    const HWND form = ezwFormWindow("MAIN");
    RECT client{};
    GetClientRect(form, &client);
    corner = pixelOf(form, client.right - 1, client.bottom - 1);
    middle = pixelOf(form, client.right / 2, client.bottom - 2);
    EZ_GETSIZE("Main", width, height, 0);
    // Outside a paint there is nothing to paint into.
    float w = 1, h = 1;
    EXPECT_EQ(EZ_STARTERASEBG(1, w, h), 0);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    int untouched = 7;
    EZ_ENDERASEBG(untouched);
    EXPECT_EQ(untouched, 7);
  });
  EXPECT_GT(seen.erases, 0);
  EXPECT_GE(seen.dc, 1);
  EXPECT_FLOAT_EQ(seen.width, width);
  EXPECT_FLOAT_EQ(seen.height, height);
  EXPECT_EQ(seen.cancel, 1) << "the background is painted";
  EXPECT_EQ(corner, kGreen);
  EXPECT_EQ(middle, kGreen);
}

TEST(EzguiPictureWin32, WithoutTheProgramsPaintTheFormsColourShows) {
  COLORREF colour = 0;
  run(0, [&] { colour = pixelOf(ezwFormWindow("MAIN"), 3, 3); });
  EXPECT_GT(seen.erases, 0);
  EXPECT_EQ(seen.cancel, -1) << "the routine did not paint, so the flag stays untouched";
  EXPECT_EQ(colour, RGB(170, 200, 255));
}
