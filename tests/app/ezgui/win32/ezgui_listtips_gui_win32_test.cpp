// Tooltips of the items of a combo box's dropped-down list over Win32, on a
// virtual display under Wine: the real mouse resting on an item asks for
// that item's text (event 8, the item's number plus one), and moving to
// another item shows that one's.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"
#include "support/shown_form_win32.h"

namespace {

constexpr int kList = 100;
std::function<void()> whenStarted;

void events(std::string& form, int& id, int& code, int& value, int&) {
  if (form != "MAIN") return;
  if (id == 0 && code == EzStarted) {
    showFormNow("MAIN");
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  } else if (id == kList && code == EzTooltipWanted) {
    EZ_SETTOOLTIP(value == 0 ? "the list" : "item " + std::to_string(value - 1));
  }
}

void design(const std::string& form) {
  if (form != "MAIN") return;
  EZ_COMBOBOX(form, kList, "COM 3|COM 7|COM 12", 2, 2, 20, 10, "");
  EZ_ADDTOOLTIP(form, kList);
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 40, 16, "");
}

bool within(int ms, const std::function<bool()>& done) {
  for (int waited = 0; waited < ms; waited += 20) {
    EZ_DOEVENTS(0);
    if (done()) return true;
    Sleep(20);
  }
  return false;
}

HWND tooltips() {
  return ezwFindForm("MAIN")->tooltips;
}

std::wstring shownText() {
  wchar_t text[256] = {};
  GetWindowTextW(tooltips(), text, 256);
  return text;
}

// The mouse comes to rest at `at` (screen pixels): two moves, as a hand makes.
void restAt(POINT at) {
  for (int dx : {0, 2}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(at.x + dx, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &input, sizeof input);
  }
}

POINT itemCentre(HWND list, int item) {
  RECT area{};
  SendMessageW(list, LB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&area));
  POINT at{area.left + 10, (area.top + area.bottom) / 2};
  ClientToScreen(list, &at);
  return at;
}

// The tip shows `text` once the mouse rested.
bool shows(const std::wstring& text) {
  return within(5000, [&] { return IsWindowVisible(tooltips()) && shownText() == text; });
}

}  // namespace

TEST(EzguiListTipsWin32, EachItemOfTheDroppedDownListShowsItsOwn) {
  std::wstring first, second;
  bool listShown = false;
  whenStarted = [&] {
    EZ_SENDMESSAGE("MAIN", kList, CB_SHOWDROPDOWN, 1, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(ezwFindControl("MAIN", kList)->window, &info));
    listShown = within(3000, [&] { return IsWindowVisible(info.hwndList) != 0; });
    restAt(itemCentre(info.hwndList, 1));
    EXPECT_TRUE(shows(L"item 1")) << "shown: "
                                  << std::string(shownText().begin(), shownText().end());
    restAt(itemCentre(info.hwndList, 2));
    EXPECT_TRUE(shows(L"item 2")) << "shown: "
                                  << std::string(shownText().begin(), shownText().end());
    SendMessageW(ezwFindControl("MAIN", kList)->window, CB_SHOWDROPDOWN, FALSE, 0);
  };
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
  EXPECT_TRUE(listShown);
}
