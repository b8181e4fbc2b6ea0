// Owner-drawn buttons of the GUI layer over Win32, on a virtual display
// under Wine: real mouse and keyboard input gives click events (none while
// disabled), and the button is painted by the program's EZ_DRAW3DBUTTON
// in its palette colour, raised, sunk while held down, greyed when
// disabled, or in the desktop's colours when the program paints nothing.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"
#include "support/shown_form_win32.h"

namespace {

constexpr int kStart = 150;  // the program paints it in colour 18
constexpr int kStop = 160;   // left to the layer
constexpr int kEnd = 170;    // its click ends the run
const COLORREF kColour18 = RGB(150, 230, 150);

std::vector<std::string> clicks;
std::vector<int> records;
std::function<void()> whenStarted;
bool gaveUp = false;

void events(std::string& form, int& id, int& code, int& value, int&) {
  if (form != "MAIN") return;
  if (id == 0 && code == EzStarted) {
    showFormNow(form);
    if (whenStarted) whenStarted();
  } else if (code == EzOwnerDraw && id == kStart) {
    records.push_back(value);
    EZ_DRAW3DBUTTON("Main", id, value, 18, 0, EZ_ODIFONT());
  } else if (code == EzOwnerDraw && id == kEnd) {
    EZ_DRAW3DBUTTON("Main", id, value, 12, 0, EZ_ODIFONT());
  } else if (code == EzClick) {
    clicks.push_back(std::to_string(id));
    if (id == kEnd) EZ_UNLOADFORM("MAIN");
  }
}

void design(const std::string& form) {
  if (form != "MAIN") return;
  EZ_ODBUTTON(form, kStart, "Start", 4, 2, 13.75f, 2, "T");
  EZ_ODBUTTON(form, kStop, "Stop", 20, 2, 13.75f, 2, "T");
  EZ_ODBUTTON(form, kEnd, "End", 36, 2, 13.75f, 2, "");
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 60, 10, "");
}

void CALLBACK giveUp(HWND, UINT, UINT_PTR, DWORD) {
  gaveUp = true;
  EZ_UNLOADFORM("MAIN");
}

void run(std::function<void()> started) {
  clicks.clear();
  records.clear();
  gaveUp = false;
  whenStarted = std::move(started);
  SetTimer(nullptr, 0, 10000, giveUp);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

HWND button(int id) {
  EzwControl* c = ezwFindControl("MAIN", id);
  return c ? c->window : nullptr;
}

void mouse(DWORD flags, int x = 0, int y = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  SendInput(1, &input, sizeof input);
}

void pointAt(int id) {
  RECT area{};
  GetWindowRect(button(id), &area);
  mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (area.left + area.right) / 2,
        (area.top + area.bottom) / 2);
}

void click(int id) {
  pointAt(id);
  mouse(MOUSEEVENTF_LEFTDOWN);
  mouse(MOUSEEVENTF_LEFTUP);
}

void keyPress(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof input[0]);
}

// The button as painted now, at a point of its face clear of the label,
// and at its top-left corner (the light or dark edge).
COLORREF pixel(int id, int x, int y) {
  RedrawWindow(button(id), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const HDC dc = GetDC(button(id));
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(button(id), dc);
  return colour;
}

COLORREF face(int id) {
  RECT area{};
  GetClientRect(button(id), &area);
  return pixel(id, 6, area.bottom / 2);
}

}  // namespace

TEST(EzguiOwnerButtonWin32, MouseAndKeyboardClicksAreClickEventsButNotWhileDisabled) {
  run([] {
    EZ_DISABLEC("Main", kStop);
    click(kStart);
    click(kStart);  // quickly again: a click, not a double click
    click(kStop);
    EZ_SETFOCUS("Main", kStart);
    keyPress(VK_SPACE);
    click(kEnd);
  });
  EXPECT_FALSE(gaveUp) << "the input did not all arrive";
  const std::vector<std::string> expected = {"150", "150", "150", "170"};
  EXPECT_EQ(clicks, expected);
}

TEST(EzguiOwnerButtonWin32, PaintedInTheProgramsColourRaisedSunkOrGreyed) {
  COLORREF drawn = 0, plain = 0, greyed = 0, raisedEdge = 0, sunkEdge = 0;
  run([&] {
    drawn = face(kStart);
    plain = face(kStop);
    raisedEdge = pixel(kStart, 0, 0);
    // Held down by the mouse: sunk.
    pointAt(kStart);
    mouse(MOUSEEVENTF_LEFTDOWN);
    EZ_DOEVENTS(0);
    sunkEdge = pixel(kStart, 0, 0);
    mouse(MOUSEEVENTF_LEFTUP);
    EZ_DOEVENTS(0);
    EZ_DISABLEC("Main", kStart);
    greyed = face(kStart);
    EZ_UNLOADFORM("MAIN");
  });
  EXPECT_EQ(drawn, kColour18);
  EXPECT_EQ(plain, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(greyed, RGB((150 + 160) / 2, (230 + 160) / 2, (150 + 160) / 2));
  // The light edge of a raised button, the darkest one of a sunk button.
  EXPECT_GT(GetGValue(raisedEdge), GetGValue(kColour18));
  EXPECT_LT(GetGValue(sunkEdge), GetGValue(kColour18) / 2);
  // Each paint had its record; none is left over once the paints are done.
  ASSERT_FALSE(records.empty());
  for (int r : records) EXPECT_TRUE(r >= 1 && r <= EzDrawRecordCount) << r;
  EXPECT_EQ(ezDrawRecordsInUse(), 0);
  EXPECT_EQ(clicks, std::vector<std::string>{"150"}) << "the press and release was a click";
}
