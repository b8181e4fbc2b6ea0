// Forms of the GUI layer over Win32, on a virtual display under Wine: the
// order of a form's events, forms by name in any letter case, owned forms,
// the user closing a window, the menu bar, sizes in form units, and the
// message loop ending with the main form.
#include <windows.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

// What the routines saw, one entry a call: "MAIN 0 87", "design MAIN".
std::vector<std::string> seen;
// What a test does when an event arrives; it may set the cancel flag.
std::function<void(const std::string&, int, int, int&)> onEvent;
std::function<void()> onStartup;

// Size events, one entry each: "MAIN 102".
std::vector<std::string> sizes;

void record(std::string& form, int& id, int& code, int& value, int& cancel) {
  (void)value;
  // Paints come whenever the window system asks for them, sizes whenever
  // the window's size changes: not in the order of a form's life.
  if (code == EzEraseBackground || code == EzOwnerDraw) return;
  if (code == EzSizeChanged || code == EzSizeRestored) {
    sizes.push_back(form + " " + std::to_string(code));
    if (onEvent) onEvent(form, id, code, cancel);
    return;
  }
  seen.push_back(form + " " + std::to_string(id) + " " + std::to_string(code));
  if (onEvent) onEvent(form, id, code, cancel);
}

void design(const std::string& form) {
  seen.push_back("design " + form);
}

void startup(int) {
  if (onStartup) onStartup();
}

int run() {
  char name[] = "test";
  char* argv[] = {name, nullptr};
  return EZ_GUIRUN(1, argv, startup, record, design);
}

std::vector<std::string> only(int code) {
  std::vector<std::string> picked;
  const std::string tail = " " + std::to_string(code);
  for (const std::string& s : seen) {
    if (s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0) {
      picked.push_back(s);
    }
  }
  return picked;
}

class EzguiFormsWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    seen.clear();
    sizes.clear();
    onEvent = nullptr;
    onStartup = nullptr;
  }
};

}  // namespace

TEST_F(EzguiFormsWin32Test, EventsInOrderAndTheLoopEndsWithTheMainForm) {
  onStartup = [] {
    EZ_ALLOWLOADINGEVENT(2);
    EZ_FORM("MAIN", "", "Main", 2, 2, 60, 20, "");
  };
  onEvent = [](const std::string& form, int id, int code, int&) {
    if (form == "MAIN" && id == 0 && code == EzStarted) {
      EXPECT_EQ(EZ_ISFORM("main", ""), 1);
      EXPECT_NE(ezwFormWindow("Main"), nullptr);
      // Shown only after it, so a place given then is where it first appears.
      EXPECT_FALSE(IsWindowVisible(ezwFormWindow("MAIN")));
      EZ_UNLOADFORM("Main");
    }
  };
  EXPECT_EQ(run(), 0);
  const std::vector<std::string> expected = {"MAIN 0 85", "design MAIN", "MAIN 0 87", "MAIN 0 86",
                                             "MAIN 0 0"};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(EZ_ISFORM("MAIN", ""), 0);
}

TEST_F(EzguiFormsWin32Test, OwnedFormsGoBeforeTheirOwner) {
  onStartup = [] { EZ_FORM("MAIN", "", "Main", 0, 0, 60, 20, ""); };
  onEvent = [](const std::string& form, int id, int code, int&) {
    if (form == "MAIN" && id == 0 && code == EzStarted) {
      EZ_FORM("HELP", "Main", "Help", 4, 4, 30, 10, "");
      EXPECT_EQ(GetWindow(ezwFormWindow("HELP"), GW_OWNER), ezwFormWindow("MAIN"));
      EZ_UNLOADFORM("main");
    }
  };
  run();
  const std::vector<std::string> expected = {"HELP 0 0", "MAIN 0 0"};
  EXPECT_EQ(only(EzFormGoingAway), expected);
}

TEST_F(EzguiFormsWin32Test, AFormMadeAgainUnderItsNameReplacesTheFirst) {
  onStartup = [] { EZ_FORM("MAIN", "", "Main", 0, 0, 60, 20, ""); };
  int helpsStarted = 0;
  HWND first = nullptr;
  onEvent = [&](const std::string& form, int id, int code, int&) {
    if (id != 0 || code != EzStarted) return;
    if (form == "MAIN") {
      EZ_FORM("Help", "MAIN", "Help", 4, 4, 30, 10, "");
      first = ezwFormWindow("help");
      EZ_FORM("HELP", "MAIN", "Help", 4, 4, 30, 10, "");
      EXPECT_FALSE(IsWindow(first));
      EXPECT_NE(ezwFormWindow("help"), first);
      EZ_UNLOADFORM("MAIN");
    } else {
      ++helpsStarted;
    }
  };
  run();
  EXPECT_EQ(helpsStarted, 2);
  // The first "Help" went away when the second came, under its own name.
  const std::vector<std::string> expected = {"Help 0 0", "HELP 0 0", "MAIN 0 0"};
  EXPECT_EQ(only(EzFormGoingAway), expected);
}

TEST_F(EzguiFormsWin32Test, ClosingTheWindowAsksAndMayBeRefused) {
  onStartup = [] { EZ_FORM("MAIN", "", "Main", 0, 0, 60, 20, ""); };
  int closes = 0;
  onEvent = [&](const std::string& form, int id, int code, int& cancel) {
    if (form != "MAIN" || id != 0) return;
    if (code == EzStarted) {
      PostMessageW(ezwFormWindow("MAIN"), WM_CLOSE, 0, 0);
      PostMessageW(ezwFormWindow("MAIN"), WM_CLOSE, 0, 0);
    }
    if (code == EzFormGoingAway && ++closes == 1) {
      cancel = 1;
      EXPECT_EQ(EZ_ISFORM("MAIN", ""), 1);
    }
  };
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(EZ_ISFORM("MAIN", ""), 0);
}

TEST_F(EzguiFormsWin32Test, MenuItemsReportTheirCommand) {
  onStartup = [] {
    EZ_DEFMAINMENU(8000, "&Help", "");
    EZ_FORM("MAIN", "", "Main", 0, 0, 60, 20, "");
  };
  onEvent = [](const std::string& form, int id, int code, int&) {
    if (form != "MAIN") return;
    if (id == 0 && code == EzStarted) {
      const HMENU bar = GetMenu(ezwFormWindow("MAIN"));
      ASSERT_NE(bar, nullptr);
      EXPECT_EQ(GetMenuItemCount(bar), 1);
      wchar_t text[32] = {};
      GetMenuStringW(bar, 0, text, 32, MF_BYPOSITION);
      EXPECT_STREQ(text, L"&Help");
      PostMessageW(ezwFormWindow("MAIN"), WM_COMMAND, MAKEWPARAM(GetMenuItemID(bar, 0), 0), 0);
    }
    if (id == 8000 && code == EzClick) EZ_UNLOADFORM("MAIN");
  };
  run();
  EXPECT_EQ(only(EzClick), std::vector<std::string>{"MAIN 8000 1"});
}

TEST_F(EzguiFormsWin32Test, AMenuItemIsGreyedAndGivenBack) {
  onStartup = [] {
    EZ_DEFMAINMENU(8000, "&Help", "");
    EZ_DEFMAINMENU(8010, "&Summary", "");
    EZ_FORM("MAIN", "", "Main", 0, 0, 60, 20, "");
  };
  UINT greyed = 0;
  UINT given = 0;
  onEvent = [&](const std::string& form, int id, int code, int&) {
    if (form != "MAIN" || id != 0 || code != EzStarted) return;
    const HMENU bar = GetMenu(ezwFormWindow("MAIN"));
    EZ_ENABLEMENUITEM("main", 8010, false);
    greyed = GetMenuState(bar, 8010, MF_BYCOMMAND);
    EZ_ENABLEMENUITEM("main", 8010, true);
    given = GetMenuState(bar, 8010, MF_BYCOMMAND);
    EZ_UNLOADFORM("MAIN");
  };
  run();
  EXPECT_TRUE(greyed & MF_GRAYED);
  EXPECT_FALSE(given & MF_GRAYED);
}

TEST_F(EzguiFormsWin32Test, SizesAndPositionsInFormUnits) {
  onStartup = [] {
    EZ_DEFMAINMENU(8000, "&Help", "");
    EZ_FORM("MAIN", "", "Main", 3, 2, 122, 40, "");
  };
  onEvent = [](const std::string& form, int id, int code, int&) {
    if (form != "MAIN" || id != 0 || code != EzStarted) return;
    // The window's size holds its menu bar; the client area is below it.
    float width = 0;
    float height = 0;
    EZ_GETSIZE("main", width, height, 3);
    // Whole pixels: a unit is some pixels, so half a unit is the most lost.
    EXPECT_NEAR(width, 122, 0.5);
    EXPECT_NEAR(height, 40, 0.5);
    float clientWidth = 0;
    float clientHeight = 0;
    EZ_GETSIZE("main", clientWidth, clientHeight, 0);
    EXPECT_NEAR(clientWidth, 122, 0.5);
    EXPECT_LT(clientHeight, height);
    EZ_RESIZEFORM("MAIN", 10, 5, 80, 30, -1);
    float x = 0;
    float y = 0;
    EZ_GETPOS("MAIN", x, y, 0);
    EXPECT_NEAR(x, 10, 0.5);
    EXPECT_NEAR(y, 5, 0.5);
    EZ_GETSIZE("main", width, height, 3);
    EXPECT_NEAR(width, 80, 0.5);
    EXPECT_NEAR(height, 30, 0.5);
    EZ_UNLOADFORM("MAIN");
  };
  run();
}

TEST_F(EzguiFormsWin32Test, NoMainFormNoLoopAndUnknownNamesDoNothing) {
  onStartup = [] {
    EZ_UNLOADFORM("nothing");
    EXPECT_EQ(EZ_ISFORM("nothing", ""), 0);
    float w = 1;
    float h = 1;
    EZ_GETSIZE("nothing", w, h, 0);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
  };
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(seen.empty());
}

TEST_F(EzguiFormsWin32Test, SizeEventsOnceShownAndWhenRestored) {
  std::vector<std::string> atStart = {"?"};
  float clientHeight = 0;
  bool changed = false;
  onStartup = [] { EZ_FORM("MAIN", "", "Main", 2, 2, 60, 20, ""); };
  onEvent = [&](const std::string& form, int id, int code, int&) {
    if (form != "MAIN" || id != 0) return;
    if (code == EzStarted) atStart = sizes;
    if (code != EzSizeChanged || changed) return;
    // The first comes after the start event, with the window shown, at its size.
    changed = true;
    EXPECT_TRUE(IsWindowVisible(ezwFormWindow("MAIN")));
    float width = 0;
    EZ_GETSIZE("MAIN", width, clientHeight, 0);
    sizes.clear();
    EZ_RESIZEFORM("MAIN", 2, 2, 70, 25, -1);
    EXPECT_EQ(sizes, std::vector<std::string>{"MAIN 102"}) << "a new size";
    sizes.clear();
    ShowWindow(ezwFormWindow("MAIN"), SW_MAXIMIZE);
    ShowWindow(ezwFormWindow("MAIN"), SW_RESTORE);
    EXPECT_EQ(sizes, (std::vector<std::string>{"MAIN 102", "MAIN 102", "MAIN 112"}))
        << "maximised, then restored";
    EZ_UNLOADFORM("MAIN");
  };
  run();
  EXPECT_TRUE(changed);
  EXPECT_TRUE(atStart.empty()) << "none before the form is shown";
  EXPECT_GT(clientHeight, 15);
}

TEST_F(EzguiFormsWin32Test, WindowsAreKeptInsideTheWorkAreaAndCentredWhenAsked) {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT centred{}, huge{}, pushedIn{};
  onStartup = [] { EZ_FORM("MAIN", "", "Main", 0, 0, 60, 20, "C"); };
  onEvent = [&](const std::string& form, int id, int code, int&) {
    if (form != "MAIN" || id != 0 || code != EzStarted) return;
    GetWindowRect(ezwFormWindow("MAIN"), &centred);
    EZ_RESIZEFORM("MAIN", 0, 0, 5000, 5000, -1);
    GetWindowRect(ezwFormWindow("MAIN"), &huge);
    EZ_RESIZEFORM("MAIN", -40, 9000, 60, 20, -1);
    GetWindowRect(ezwFormWindow("MAIN"), &pushedIn);
    EZ_UNLOADFORM("MAIN");
  };
  run();
  EXPECT_NEAR((centred.left + centred.right) / 2, (area.left + area.right) / 2, 1);
  EXPECT_NEAR((centred.top + centred.bottom) / 2, (area.top + area.bottom) / 2, 1);
  EXPECT_EQ(huge.left, area.left);
  EXPECT_EQ(huge.top, area.top);
  EXPECT_EQ(huge.right, area.right) << "no wider than the work area";
  EXPECT_EQ(huge.bottom, area.bottom) << "no taller than the work area";
  EXPECT_EQ(pushedIn.left, area.left);
  EXPECT_EQ(pushedIn.bottom, area.bottom);
  EXPECT_GT(pushedIn.right - pushedIn.left, 0);
}
