// Tooltips of the GUI layer over Win32, on a virtual display under Wine:
// the real mouse resting on a control asks the event routine for the text
// (event 8); the answer is shown, and a control left unanswered shows none.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"
#include "support/shown_form_win32.h"

namespace {

constexpr int kLabel = 100;   // registered, never answered
constexpr int kChoose = 110;  // owner-drawn button
constexpr int kAppend = 120;  // radio button
constexpr int kPlain = 130;   // not registered
constexpr char kChooseTip[] =
    "Allows you to choose the path and location of the file where the data will be saved "
    "(Ctrl-F)";

std::vector<int> asked;  // controls whose tooltip was asked for, in order
std::function<void()> whenStarted;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form != "MAIN") return;
  if (id == 0 && code == EzStarted) {
    showFormNow("MAIN");
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  } else if (code == EzTooltipWanted) {
    asked.push_back(id);
    if (id == kChoose) EZ_SETTOOLTIP(kChooseTip);
    if (id == kAppend) EZ_SETTOOLTIP("Append new data to selected file \xb0");
  }
}

void design(const std::string& form) {
  if (form != "MAIN") return;
  EZ_LABEL(form, kLabel, "Port", 2, 1, 12, 1.5f, "");
  EZ_ODBUTTON(form, kChoose, "Choose Path and File", 2, 4, 24.75f, 2, "T");
  EZ_RADIO(form, kAppend, "Append", 2, 8, 14, 1.5f, "");
  EZ_RADIO(form, kPlain, "Overwrite", 2, 11, 14, 1.5f, "");
  EZ_ADDTOOLTIP(form, kLabel);
  EZ_ADDTOOLTIP(form, kChoose);
  EZ_ADDTOOLTIP(form, kAppend);
  EZ_ADDTOOLTIP(form, 999);  // no such control: nothing
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 60, 16, "");
}

void run(std::function<void()> started) {
  asked.clear();
  whenStarted = std::move(started);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

// The mouse comes to rest on the control: two moves on it, as a hand
// makes.
void restOn(int id) {
  RECT area{};
  GetWindowRect(ezwFindControl("MAIN", id)->window, &area);
  for (int x : {area.left + 8, area.left + 10}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv((area.top + area.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &input, sizeof input);
  }
}

HWND tooltips() {
  return ezwFindForm("MAIN")->tooltips;
}

// Lets the loop run until `done` (true) or `ms` have passed.
bool within(int ms, const std::function<bool()>& done) {
  for (int waited = 0; waited < ms; waited += 20) {
    EZ_DOEVENTS(0);
    if (done()) return true;
    Sleep(20);
  }
  return false;
}

bool shownWithin(int ms) {
  return within(ms, [] { return IsWindowVisible(tooltips()) != 0; });
}

bool askedFor(int id) {
  return !asked.empty() && asked.back() == id;
}

std::wstring shownText() {
  wchar_t text[256] = {};
  GetWindowTextW(tooltips(), text, 256);
  return text;
}

}  // namespace

TEST(EzguiTooltipsWin32, TheAnswerShowsAndNoAnswerShowsNothing) {
  bool chooseShown = false, labelShown = true, appendShown = false;
  std::wstring chooseText, appendText;
  run([&] {
    ASSERT_NE(tooltips(), nullptr);
    EXPECT_EQ(SendMessageW(tooltips(), TTM_GETTOOLCOUNT, 0, 0), 4);  // and the form's own
    restOn(kChoose);
    chooseShown = shownWithin(5000);
    chooseText = shownText();
    restOn(kLabel);
    EXPECT_TRUE(within(5000, [] { return askedFor(kLabel); }));
    labelShown = shownWithin(500);
    restOn(kAppend);
    appendShown = shownWithin(5000);
    appendText = shownText();
    restOn(kPlain);
    EZ_DOEVENTS(0);
    Sleep(1500);
    EZ_DOEVENTS(0);
  });
  EXPECT_TRUE(chooseShown);
  EXPECT_EQ(chooseText,
            L"Allows you to choose the path and location of the file where the data will be saved "
            L"(Ctrl-F)");
  EXPECT_FALSE(labelShown);
  EXPECT_TRUE(appendShown);
  EXPECT_EQ(appendText, L"Append new data to selected file \u00b0");
  // Each control asked for once as the mouse came to rest on it; the one
  // without a tooltip never.
  const std::vector<int> expected = {kChoose, kLabel, kAppend};
  EXPECT_EQ(asked, expected);
}

TEST(EzguiTooltipsWin32, DisabledControlsStillShowTheirs) {
  bool chooseShown = false;
  std::wstring chooseText;
  run([&] {
    EZ_DISABLEC("Main", kChoose);
    EZ_DISABLEC("Main", kPlain);
    restOn(kChoose);
    chooseShown = shownWithin(5000);
    chooseText = shownText();
    // Off it, onto a disabled control without a tooltip: the tip goes.
    restOn(kPlain);
    EXPECT_TRUE(within(2000, [] { return !IsWindowVisible(tooltips()); }));
    Sleep(1000);
    EZ_DOEVENTS(0);
    EXPECT_FALSE(IsWindowVisible(tooltips()));
  });
  EXPECT_TRUE(chooseShown);
  EXPECT_EQ(chooseText.substr(0, 28), L"Allows you to choose the pat");
  EXPECT_EQ(asked, std::vector<int>{kChoose});
}
