// Forms of the GUI layer over Win32 on the screen, under Wine: each form's
// first size and place inside the work area with its frame, "C" in the
// middle of it, EZ_RESIZEFORM kept inside the same way, a form shown only
// after its start event; the debug form shown without taking the keyboard,
// beside the main window where there is room and otherwise over none of
// its controls.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

std::function<void()> whenStarted;
std::function<void()> design;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form == "MAIN" && id == 0 && code == EzStarted) {
    // Shown after this event, so a place given here is where it appears.
    EXPECT_FALSE(IsWindowVisible(ezwFormWindow("MAIN")));
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  }
}

void designRoutine(const std::string& form) {
  if (form == "MAIN" && design) design();
}

float mainWidth = 60, mainHeight = 16;

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, mainWidth, mainHeight, "");
}

void run(std::function<void()> started) {
  whenStarted = std::move(started);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, designRoutine);
}

RECT workArea() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

RECT outerOf(const std::string& form) {
  RECT r{};
  GetWindowRect(ezwFormWindow(form), &r);
  return r;
}

::testing::AssertionResult inside(const RECT& r, const RECT& area) {
  if (r.left >= area.left && r.top >= area.top && r.right <= area.right &&
      r.bottom <= area.bottom && r.right > r.left && r.bottom > r.top) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "window " << r.left << "," << r.top << "-" << r.right
                                       << "," << r.bottom << " not inside " << area.left << ","
                                       << area.top << "-" << area.right << "," << area.bottom;
}

bool meet(const RECT& a, const RECT& b) {
  RECT common{};
  return IntersectRect(&common, &a, &b) != 0;
}

// Lets the loop run until `done` or `ms` have passed.
bool within(int ms, const std::function<bool()>& done) {
  for (int waited = 0; waited < ms; waited += 20) {
    EZ_DOEVENTS(0);
    if (done()) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

TEST(EzguiScreenWin32, FormsStayInsideTheWorkAreaFrameIncluded) {
  mainWidth = 60;
  mainHeight = 16;
  design = nullptr;
  const RECT area = workArea();
  RECT main{}, big{}, centred{}, moved{}, bigLater{};
  bool mainShown = true, bigShown = false;
  run([&] {
    // At 0,0 the frame, title bar and all, would be off the screen.
    main = outerOf("MAIN");
    EZ_FORM("BIG", "MAIN", "Big", -40, -40, 5000, 5000, "");
    big = outerOf("BIG");
    bigShown = IsWindowVisible(ezwFormWindow("BIG")) != 0;
    mainShown = IsWindowVisible(ezwFormWindow("MAIN")) != 0;
    EZ_FORM("MID", "MAIN", "Mid", 1, 1, 40, 10, "C");
    centred = outerOf("MID");
    EZ_RESIZEFORM("MID", 3000, 3000, 40, 10, -1);
    moved = outerOf("MID");
    EZ_RESIZEFORM("BIG", 0, 0, 4000, 4000, -1);
    bigLater = outerOf("BIG");
  });
  EXPECT_TRUE(inside(main, area));
  EXPECT_FALSE(mainShown) << "not before its start event is over";
  EXPECT_TRUE(bigShown) << "once its own events are over";
  EXPECT_TRUE(inside(big, area));
  EXPECT_EQ(big.right - big.left, area.right - area.left) << "a form larger than the area fills it";
  EXPECT_EQ(big.bottom - big.top, area.bottom - area.top);
  EXPECT_TRUE(inside(centred, area));
  EXPECT_NEAR((centred.left + centred.right) / 2, (area.left + area.right) / 2, 1);
  EXPECT_NEAR((centred.top + centred.bottom) / 2, (area.top + area.bottom) / 2, 1);
  EXPECT_TRUE(inside(moved, area));
  EXPECT_EQ(moved.right, area.right);
  EXPECT_EQ(moved.bottom, area.bottom);
  EXPECT_EQ(moved.right - moved.left, centred.right - centred.left) << "its size kept";
  EXPECT_TRUE(inside(bigLater, area));
}

TEST(EzguiScreenWin32, TheDebugFormShowsBesideTheMainWindowWithoutTheKeyboard) {
  mainWidth = 60;
  mainHeight = 16;
  design = nullptr;
  const RECT area = workArea();
  bool shownAtOnce = true, shownLater = false;
  HWND foreground = nullptr, active = nullptr, mainWindow = nullptr;
  RECT main{}, debug{};
  run([&] {
    // The main window shown and holding the keyboard, as the user has it.
    ShowWindow(ezwFormWindow("MAIN"), SW_SHOWNORMAL);
    SetForegroundWindow(ezwFormWindow("MAIN"));
    within(500, [] { return GetForegroundWindow() == ezwFormWindow("MAIN"); });
    EZ_DEBUGFORM("Debug1");
    EZ_RESIZEFORM("Debug1", 200, 20, 90, 35, -1);
    shownAtOnce = IsWindowVisible(ezwFormWindow("Debug1")) != 0;
    shownLater = within(2000, [] { return IsWindowVisible(ezwFormWindow("Debug1")) != 0; });
    within(300, [] { return false; });
    mainWindow = ezwFormWindow("MAIN");
    foreground = GetForegroundWindow();
    active = GetActiveWindow();
    main = outerOf("MAIN");
    debug = outerOf("Debug1");
  });
  EXPECT_FALSE(shownAtOnce) << "shown once placed, at the loop's next pass";
  EXPECT_TRUE(shownLater);
  EXPECT_EQ(foreground, mainWindow) << "the keyboard stays with the main window";
  EXPECT_EQ(active, mainWindow);
  EXPECT_TRUE(inside(debug, area));
  EXPECT_FALSE(meet(debug, main)) << "beside the main window where there is room";
  EXPECT_TRUE(inside(main, area));
}

TEST(EzguiScreenWin32, TheDebugFormCoversNoControlWhereThereIsNoRoomBeside) {
  const RECT area = workArea();
  // A main window of nearly the whole screen, controls along its top and
  // down its left side.
  mainWidth = ezUnitsX(area.right - area.left) - 2;
  mainHeight = ezUnitsY(area.bottom - area.top) - 3;
  design = [] {
    EZ_LABEL("MAIN", 101, "Port", 2, 1, 30, 2, "");
    EZ_LABEL("MAIN", 102, "Start", 40, 1, 30, 2, "");
    EZ_LABEL("MAIN", 103, "Stop", 2, 5, 12, 30, "");
  };
  std::vector<RECT> controls;
  RECT main{}, debug{}, client{};
  run([&] {
    ShowWindow(ezwFormWindow("MAIN"), SW_SHOWNORMAL);
    for (int id : {101, 102, 103}) {
      RECT r{};
      GetWindowRect(ezwFindControl("MAIN", id)->window, &r);
      controls.push_back(r);
    }
    EZ_DEBUGFORM("Debug1");
    EZ_RESIZEFORM("Debug1", 0, 0, 90, 35, -1);
    within(2000, [] { return IsWindowVisible(ezwFormWindow("Debug1")) != 0; });
    main = outerOf("MAIN");
    GetClientRect(ezwFormWindow("MAIN"), &client);
    MapWindowPoints(ezwFormWindow("MAIN"), nullptr, reinterpret_cast<POINT*>(&client), 2);
    debug = outerOf("Debug1");
  });
  design = nullptr;
  EXPECT_TRUE(inside(debug, area));
  for (const RECT& c : controls) EXPECT_FALSE(meet(debug, c)) << "over a control";
  const RECT titleBar{main.left, main.top, main.right, client.top};
  EXPECT_FALSE(meet(debug, titleBar)) << "over the title bar";
  EXPECT_GT(debug.right - debug.left, 100);
  EXPECT_GT(debug.bottom - debug.top, 100);
}
