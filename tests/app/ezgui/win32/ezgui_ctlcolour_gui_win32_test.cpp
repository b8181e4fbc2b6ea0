// Controls in their own colours in the GUI layer over Win32, on a virtual
// display under Wine: a transparent label and an option button without a
// background colour show the form's background as the program paints it,
// a label and a text box with a background colour of their own show that,
// and a label made with "C" centres its text.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"
#include "support/shown_form_win32.h"

namespace {

constexpr int kClearLabel = 301;
constexpr int kBoxedLabel = 302;
constexpr int kTextBox = 303;
constexpr int kRadio = 304;
constexpr int kCentred = 305;
constexpr COLORREF kGreen = RGB(0, 160, 0);

int backgroundImage = 0;
std::function<void()> whenStarted;

void events(std::string& form, int& id, int& code, int& value, int& cancel) {
  if (form != "MAIN" || id != 0) return;
  if (code == EzStarted) {
    showFormNow("MAIN");
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  } else if (code == EzEraseBackground) {
    float width = 0, height = 0;
    const int dc = EZ_STARTERASEBG(value, width, height);
    if (dc == 0) return;
    EZ_DCDRAWPICTURE(dc, backgroundImage, 0, 0, width + 1, height + 1);
    EZ_ENDERASEBG(cancel);
  }
}

// Short texts in wide controls: the right part of each shows only what is
// behind the text.
void design(const std::string& form) {
  if (form != "MAIN") return;
  EZ_COLOR(15, 15);
  EZ_LABEL(form, kClearLabel, "Clear", 2, 1, 30, 1.5, "IL");
  EZ_COLOR(0, 12);
  EZ_LABEL(form, kBoxedLabel, "Boxed", 2, 3, 30, 1.5, "L");
  EZ_COLOR(-1, 17);
  EZ_TEXT(form, kTextBox, "", 2, 5, 30, 1.75, "EST");
  EZ_COLOR(-1, -1);
  EZ_RADIO(form, kRadio, "", 2, 8, 30, 1.125, "GIT");
  EZ_LABEL(form, kCentred, "Middle", 2, 10, 30, 1.5, "CI");
}

void startup(int) {
  EZ_COLOR(-1, 7);
  EZ_FORM("MAIN", "", "Main", 0, 0, 60, 16, "");
  EZ_COLOR(-1, -1);
}

HBITMAP solidBitmap(COLORREF colour) {
  const HDC screen = GetDC(nullptr);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
  const HDC dc = CreateCompatibleDC(screen);
  const HGDIOBJ before = SelectObject(dc, bitmap);
  SetPixel(dc, 0, 0, colour);
  SelectObject(dc, before);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

HWND control(int id) {
  return ezwFindControl("MAIN", id)->window;
}

// The colour near the right end of a control, as drawn on the screen.
COLORREF rightEndOf(int id) {
  const HWND window = control(id);
  RedrawWindow(ezwFormWindow("MAIN"), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT area{};
  GetClientRect(window, &area);
  const HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, area.right - 4, area.bottom / 2);
  ReleaseDC(window, dc);
  return colour;
}

}  // namespace

TEST(EzguiControlColoursWin32, LabelsAndBoxesInTheirColoursOrOverTheFormsBackground) {
  EzwPictures.pictures["$BACK"] = solidBitmap(kGreen);
  backgroundImage = EZ_IMAGEHANDLE("$BACK");
  COLORREF clear = 0, boxed = 0, box = 0, radio = 0;
  LONG_PTR centred = 0;
  whenStarted = [&] {
    clear = rightEndOf(kClearLabel);
    boxed = rightEndOf(kBoxedLabel);
    box = rightEndOf(kTextBox);
    radio = rightEndOf(kRadio);
    centred = GetWindowLongPtrW(control(kCentred), GWL_STYLE) & SS_TYPEMASK;
  };
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
  EXPECT_EQ(clear, kGreen) << "a transparent label shows the painted background";
  EXPECT_EQ(radio, kGreen) << "so does an option button without a background colour";
  EXPECT_EQ(boxed, RGB(230, 40, 40)) << "colour 12";
  EXPECT_EQ(box, RGB(170, 200, 255)) << "colour 17";
  EXPECT_EQ(centred, SS_CENTER);
}
