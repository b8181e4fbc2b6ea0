// Controls of the GUI layer over Win32, on a virtual display under Wine:
// texts in and out, states, the drop-down list and the status bar, and
// which of the user's actions report events (and that the program's own
// changes report none).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr int kLabel = 100;
constexpr int kAppend = 120;
constexpr int kOverwrite = 130;
constexpr int kPorts = 140;
constexpr int kFileBox = 170;
constexpr int kStatus = 260;

// Events of controls, "id code value", in order.
std::vector<std::string> events;
std::function<void()> whenStarted;
int picked = -1;

void record(std::string& form, int& id, int& code, int& value, int&) {
  if (form != "MAIN") return;
  if (id == 0 && code == EzStarted) {
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
    return;
  }
  if (id != 0)
    events.push_back(std::to_string(id) + " " + std::to_string(code) + " " + std::to_string(value));
}

void design(const std::string& form) {
  if (form != "MAIN") return;
  EZ_LABEL("Main", kLabel, "Port", 2, 1, 20, 1.5, "");
  EZ_RADIO("Main", kAppend, "Append", 2, 3, 14, 1.5, "");
  EZ_RADIO("Main", kOverwrite, "Overwrite", 18, 3, 14, 1.5, "");
  EZ_COMBOBOX("Main", kPorts, "COM 1|COM 2|COM 3|COM 4", 2, 6, 20, 8, "");
  EZ_TEXT("Main", kFileBox, "", 2, 9, 60, 1.5, "");
  EZ_STATUSBAR("Main", kStatus, "", "");
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 122, 40, "");
}

void run(std::function<void()> check) {
  events.clear();
  whenStarted = std::move(check);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, record, design);
}

HWND control(int id) {
  EzwControl* c = ezwFindControl("MAIN", id);
  return c ? c->window : nullptr;
}

std::wstring listItem(int index) {
  wchar_t text[64] = {};
  SendMessageW(control(kPorts), CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text));
  return text;
}

std::wstring statusPart(int index) {
  wchar_t text[128] = {};
  SendMessageW(control(kStatus), SB_GETTEXTW, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text));
  return text;
}

}  // namespace

TEST(EzguiControlsWin32, TextsGoInAsUtf8OrLatin1AndComeOutAsUtf8) {
  run([] {
    EXPECT_EQ(EZ_GETTEXT("main", kLabel), "Port");
    EZ_SETTEXT("Main", kFileBox, "C:/Messungen/Flu\xc3\x9f.csv");
    EXPECT_EQ(EZ_GETTEXT("Main", kFileBox), "C:/Messungen/Flu\xc3\x9f.csv");
    wchar_t shown[64] = {};
    GetWindowTextW(control(kFileBox), shown, 64);
    EXPECT_STREQ(shown, L"C:/Messungen/Flu\u00df.csv");
    // Not UTF-8: taken as Latin-1, so the degree sign shows as one.
    EZ_SETTEXT("Main", kLabel, "12\xb0");
    EXPECT_EQ(EZ_GETTEXT("Main", kLabel), "12\xc2\xb0");
    EXPECT_EQ(EZ_GETTEXT("Main", 999), "");
  });
  // Setting the file box's text is the program's doing: no "edited" event.
  EXPECT_TRUE(events.empty());
}

TEST(EzguiControlsWin32, EnablingCheckingAndTheUsersActions) {
  run([] {
    EZ_DISABLEC("Main", kFileBox);
    EXPECT_FALSE(IsWindowEnabled(control(kFileBox)));
    EZ_ENABLEC("Main", kFileBox);
    EXPECT_TRUE(IsWindowEnabled(control(kFileBox)));

    EZ_SETCHECK("Main", kAppend, 1);
    EXPECT_EQ(SendMessageW(control(kAppend), BM_GETCHECK, 0, 0), BST_CHECKED);
    // The user clicks Overwrite: an event, and the pair swaps.
    SendMessageW(control(kOverwrite), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(control(kOverwrite), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(control(kAppend), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // The user types into the file box.
    SetFocus(control(kFileBox));
    SendMessageW(control(kFileBox), WM_CHAR, L'x', 0);
    EXPECT_EQ(EZ_GETTEXT("Main", kFileBox), "x");
  });
  const std::vector<std::string> expected = {"130 1 0", "170 4 0"};
  EXPECT_EQ(events, expected);
}

TEST(EzguiControlsWin32, TheDropDownListItsItemsAndPicks) {
  run([] {
    const HWND list = control(kPorts);
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 4);
    EZ_CLEAR("Main", kPorts);
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 0);
    EZ_ADDITEMS("Main", kPorts, "COM 3|COM 5 in use|COM 12");
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(listItem(1), L"COM 5 in use");
    EZ_SELECTITEM("Main", kPorts, 2);
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 2);
    EZ_SELECTITEM("Main", kPorts, -1);
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), -1);
    EZ_SELECTITEM("Main", kPorts, 7);
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), -1);

    // The user drops the list down, moves through it by keys and picks.
    EZ_SENDMESSAGE("Main", kPorts, CB_SHOWDROPDOWN, 1, 0);
    EXPECT_TRUE(SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    EZ_DOEVENTS(10);
    EXPECT_FALSE(SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0));
    picked = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    EXPECT_GE(picked, 0);
  });
  // Dropping down, then one pick of the item it closed on; moving through
  // the open list is none, and the program's selections above were none.
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "140 108 0");
  EXPECT_EQ(events.back(), "140 6 " + std::to_string(picked));
  EXPECT_EQ(std::count_if(events.begin(), events.end(),
                          [](const std::string& e) { return e.rfind("140 6 ", 0) == 0; }),
            1);
}

TEST(EzguiControlsWin32, ADisabledListDoesNotDropDownForTheProgram) {
  run([] {
    const HWND list = control(kPorts);
    ASSERT_NE(list, nullptr);
    EZ_DISABLEC("Main", kPorts);
    EXPECT_EQ(EZ_SENDMESSAGE("Main", kPorts, CB_SHOWDROPDOWN, 1, 0), 0);
    EZ_DOEVENTS(10);
    EXPECT_FALSE(SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0));
    EZ_ENABLEC("Main", kPorts);
    EXPECT_EQ(EZ_SENDMESSAGE("Main", kPorts, CB_SHOWDROPDOWN, 1, 0), 1);
    EXPECT_TRUE(SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
  });
  EXPECT_EQ(std::count(events.begin(), events.end(), "140 108 0"), 1) << "one drop, one event";
}

TEST(EzguiControlsWin32, StatusBarPartsAndTheirTexts) {
  run([] {
    EZ_SETSBPARTS("Main", kStatus, 3, "50|25|25");
    EXPECT_EQ(SendMessageW(control(kStatus), SB_GETPARTS, 0, 0), 3);
    int edges[3] = {};
    SendMessageW(control(kStatus), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    RECT area{};
    GetClientRect(control(kStatus), &area);
    EXPECT_NEAR(edges[0], area.right / 2, 2);
    EXPECT_NEAR(edges[1], area.right * 3 / 4, 2);
    EZ_SETSBTEXT("Main", kStatus, 1, "Not Ready", "P");
    EZ_SETSBTEXT("Main", kStatus, 2, "Output file: river", "P");
    EZ_SETSBTEXT("Main", kStatus, 3, "COM 3 chosen", "P");
    EZ_SETSBTEXT("Main", kStatus, 4, "nowhere", "P");
    EXPECT_EQ(statusPart(0), L"Not Ready");
    EXPECT_EQ(statusPart(1), L"Output file: river");
    EXPECT_EQ(statusPart(2), L"COM 3 chosen");
    // At the bottom of the form.
    RECT bar{};
    RECT client{};
    GetWindowRect(control(kStatus), &bar);
    GetClientRect(ezwFormWindow("MAIN"), &client);
    POINT bottom{0, client.bottom};
    ClientToScreen(ezwFormWindow("MAIN"), &bottom);
    EXPECT_EQ(bar.bottom, bottom.y);
  });
}
