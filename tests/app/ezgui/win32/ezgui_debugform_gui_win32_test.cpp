// The debug form of the GUI layer over Win32 under Wine: a window with one
// read-only multi-line text that gives back exactly what the program
// wrote, shows it line by line, scrolls to its end when asked, and keeps
// filling the window when the window's size changes.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"
#include "support/shown_form_win32.h"

namespace {

std::vector<std::string> seen;  // events of the debug form
std::function<void()> whenStarted;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form == "MAIN" && id == 0 && code == EzStarted) {
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  } else if (form == "Debug1" && code != EzEraseBackground) {
    seen.push_back(std::to_string(id) + " " + std::to_string(code));
  }
}

void design(const std::string& form) {
  seen.push_back("design " + form);
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 60, 16, "");
}

void run(std::function<void()> started) {
  seen.clear();
  whenStarted = std::move(started);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

HWND trace() {
  EzwControl* c = ezwFindControl("Debug1", 100);
  return c ? c->window : nullptr;
}

}  // namespace

TEST(EzguiDebugFormWin32, TheTraceTextAsWrittenShownLineByLine) {
  std::string back;
  std::wstring shownEnd;
  LRESULT lines = 0, firstVisible = -1;
  bool readOnly = false, fills = false;
  run([&] {
    seen.clear();
    EZ_DEBUGFORM("Debug1");
    ASSERT_EQ(EZ_ISFORM("debug1", "E"), 1);
    ASSERT_NE(trace(), nullptr);
    readOnly = (GetWindowLongW(trace(), GWL_STYLE) & ES_READONLY) != 0;
    std::string text;
    for (int i = 1; i <= 80; ++i) text += "Dropping " + std::to_string(i) + "\r\n";
    text += "last\nline\xb0";
    EZ_SETTEXT("Debug1", 100, text);
    back = EZ_GETTEXT("Debug1", 100);
    lines = SendMessageW(trace(), EM_GETLINECOUNT, 0, 0);
    wchar_t shown[4096] = {};
    const int length = GetWindowTextW(trace(), shown, 4096);
    shownEnd = std::wstring(shown + length - 11, shown + length);
    EZ_SCROLLTO("Debug1", 100, 1, 0);
    firstVisible = SendMessageW(trace(), EM_GETFIRSTVISIBLELINE, 0, 0);
    EZ_RESIZEFORM("Debug1", 10, 10, 50, 20, -1);
    RECT client{}, area{};
    GetClientRect(ezwFormWindow("Debug1"), &client);
    GetWindowRect(trace(), &area);
    fills = area.right - area.left == client.right && area.bottom - area.top == client.bottom;
    EZ_UNLOADFORM("Debug1");
    EXPECT_EQ(EZ_ISFORM("Debug1", "E"), 0);
  });
  EXPECT_TRUE(readOnly);
  std::string expected;
  for (int i = 1; i <= 80; ++i) expected += "Dropping " + std::to_string(i) + "\r\n";
  EXPECT_EQ(back, expected + "last\nline\xb0");
  EXPECT_EQ(shownEnd, L"last\r\nline\u00b0");
  EXPECT_EQ(lines, 82);
  EXPECT_GT(firstVisible, 40);
  EXPECT_TRUE(fills);
  // No design routine and no loading events for it; its going away only.
  EXPECT_EQ(seen, std::vector<std::string>{"0 0"});
}

// The trace opens while the user works in the main window (the port list
// drops down with a trace line): the keys typed next must still reach the
// main window's control, not the trace.
TEST(EzguiDebugFormWin32, OpeningLeavesTheKeyboardWhereItWas) {
  HWND field = nullptr, focusAfter = nullptr, foregroundAfter = nullptr, mainWindow = nullptr;
  bool traceShown = false;
  run([&] {
    EZ_TEXT("MAIN", 5, "", 1, 1, 20, 1, "");
    EzwControl* c = ezwFindControl("MAIN", 5);
    ASSERT_NE(c, nullptr);
    field = c->window;
    mainWindow = ezwFormWindow("MAIN");
    showFormNow("MAIN");
    EZ_SETFOCUS("MAIN", 5);
    ASSERT_EQ(GetFocus(), field);
    EZ_DEBUGFORM("Debug1");
    // The trace window shows at the message loop's next pass, once placed.
    EZ_DOEVENTS(1);
    traceShown = IsWindowVisible(ezwFormWindow("Debug1")) != 0;
    focusAfter = GetFocus();
    foregroundAfter = GetForegroundWindow();
    EZ_UNLOADFORM("Debug1");
  });
  EXPECT_TRUE(traceShown);
  EXPECT_EQ(focusAfter, field);
  EXPECT_EQ(foregroundAfter, mainWindow);
}
