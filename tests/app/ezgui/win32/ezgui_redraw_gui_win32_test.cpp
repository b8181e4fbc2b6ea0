// Delayed drawing of the GUI layer over Win32 under Wine: while a form's
// drawing is held back, moving its controls paints nothing; the redraw
// then paints the whole form once more, background first.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

int erases = 0;
std::function<void()> whenStarted;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form != "MAIN" || id != 0) return;
  if (code == EzEraseBackground) ++erases;
  if (code == EzStarted) {
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  }
}

void design(const std::string& form) {
  if (form == "MAIN") EZ_TEXT(form, 170, "", 2, 2, 30, 1.75f, "");
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 60, 16, "");
}

void run(std::function<void()> started) {
  whenStarted = std::move(started);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

}  // namespace

TEST(EzguiRedrawWin32, NothingIsDrawnBetweenTheDelayAndTheRedraw) {
  int whileHeld = -1, afterRedraw = -1;
  bool shownAfter = false;
  run([&] {
    EZ_DOEVENTS(0);
    UpdateWindow(ezwFormWindow("MAIN"));
    EZ_DELAYDRAWCLIENT("Main", 0);
    erases = 0;
    EZ_RESIZE("Main", 170, 2.3f, 7.6f, 50, 1.75f);
    EZ_RESIZE("Main", 170, 2.3f, 3.6f, 40, 1.75f);
    UpdateWindow(ezwFormWindow("MAIN"));
    EZ_DOEVENTS(0);
    whileHeld = erases;
    EZ_REDRAWFORM("Main");
    UpdateWindow(ezwFormWindow("MAIN"));
    EZ_DOEVENTS(0);
    afterRedraw = erases;
    shownAfter = IsWindowVisible(ezwFormWindow("MAIN")) != 0;
  });
  EXPECT_EQ(whileHeld, 0);
  EXPECT_GE(afterRedraw, 1);
  EXPECT_TRUE(shownAfter);
}
