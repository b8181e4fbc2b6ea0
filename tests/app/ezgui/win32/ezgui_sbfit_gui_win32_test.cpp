// Status bar parts of the GUI layer over Win32 under Wine: a text too long
// for its part shows its start and its end around an ellipsis, whole as
// the part's tooltip when the real mouse rests on it; a text that fits
// shows whole with no tooltip; reading a part back gives the whole text.
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

constexpr int kStatus = 900;
constexpr char kLong[] =
    "Output file: C:\\Users\\crew\\Documents\\river_survey_at_the_old_mill_bridge_below_the_weir_"
    "and_the_ford_day2.csv";

std::function<void()> whenStarted;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form == "MAIN" && id == 0 && code == EzStarted) {
    EZ_STATUSBAR("MAIN", kStatus, "", "");
    EZ_SETSBPARTS("MAIN", kStatus, 3, "30|40|30");
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  }
}

void design(const std::string&) {}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 100, 16, "");
}

void run(std::function<void()> started) {
  whenStarted = std::move(started);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

HWND bar() {
  return ezwFindControl("MAIN", kStatus)->window;
}

std::wstring shown(int index) {
  wchar_t text[512] = {};
  SendMessageW(bar(), SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return text;
}

int textWidth(const std::wstring& text) {
  const HDC dc = GetDC(bar());
  const HGDIOBJ before =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(bar(), WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, before);
  ReleaseDC(bar(), dc);
  return size.cx;
}

RECT partRect(int index) {
  RECT r{};
  SendMessageW(bar(), SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

bool within(int ms, const std::function<bool()>& done) {
  for (int waited = 0; waited < ms; waited += 20) {
    EZ_DOEVENTS(0);
    if (done()) return true;
    Sleep(20);
  }
  return false;
}

// The mouse comes to rest on the middle of the part: two moves, as a hand
// makes.
void restOn(int index) {
  RECT area = partRect(index);
  MapWindowPoints(bar(), nullptr, reinterpret_cast<POINT*>(&area), 2);
  for (int x : {(area.left + area.right) / 2, (area.left + area.right) / 2 + 2}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv((area.top + area.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &input, sizeof input);
  }
}

HWND visibleTip() {
  const HWND tips = ezwFindControl("MAIN", kStatus)->partTips;
  return tips && IsWindowVisible(tips) ? tips : nullptr;
}

}  // namespace

TEST(EzguiStatusFitWin32, ALongTextLosesItsMiddleAndShowsWholeOnHover) {
  std::wstring shortShown, longShown, tipText;
  std::string back;
  int longWidth = 0, partWidth = 0;
  bool tipShown = false, tipOnShort = true;
  run([&] {
    showFormNow("MAIN");
    EZ_SETSBTEXT("MAIN", kStatus, 1, "Port: COM3", "");
    EZ_SETSBTEXT("MAIN", kStatus, 2, kLong, "");
    EZ_SETSBTEXT("MAIN", kStatus, 3, "Waiting", "");
    within(300, [] { return false; });
    shortShown = shown(0);
    longShown = shown(1);
    back = ezwStatusText("MAIN", kStatus, 2);
    longWidth = textWidth(longShown);
    partWidth = partRect(1).right - partRect(1).left;
    restOn(1);
    tipShown = within(5000, [] { return visibleTip() != nullptr; });
    if (tipShown) {
      wchar_t text[512] = {};
      GetWindowTextW(visibleTip(), text, 512);
      tipText = text;
    }
    restOn(0);
    within(1500, [] { return false; });
    tipOnShort = visibleTip() != nullptr;
  });
  EXPECT_EQ(shortShown, L"Port: COM3") << "a text that fits shows whole";
  const size_t cut = longShown.find(L'\u2026');
  ASSERT_NE(cut, std::wstring::npos) << "no ellipsis";
  const std::wstring whole(kLong, kLong + sizeof kLong - 1);
  EXPECT_GE(cut, 14u);
  EXPECT_EQ(whole.substr(0, cut), longShown.substr(0, cut));
  const std::wstring end = longShown.substr(cut + 1);
  EXPECT_GE(end.size(), 4u);
  EXPECT_EQ(whole.substr(whole.size() - end.size()), end);
  EXPECT_LE(longWidth, partWidth);
  EXPECT_EQ(back, kLong) << "read back whole";
  EXPECT_TRUE(tipShown);
  EXPECT_EQ(tipText, whole);
  EXPECT_FALSE(tipOnShort) << "no tooltip over a text that fits";
}

TEST(EzguiStatusFitWin32, AWiderWindowShowsMoreOfTheText) {
  std::wstring narrow, wide;
  run([&] {
    EZ_SETSBTEXT("MAIN", kStatus, 2, kLong, "");
    narrow = shown(1);
    EZ_RESIZEFORM("MAIN", 0, 0, 140, 16, -1);
    wide = shown(1);
  });
  EXPECT_GT(wide.size(), narrow.size()) << "refitted to its new width";
}
