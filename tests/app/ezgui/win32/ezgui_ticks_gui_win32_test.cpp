// The form's ticks over Win32, on a virtual display under Wine: the window
// timer's, and the one the system's news of a serial port arriving or gone
// raises at once. Wine tells of no device changes, so that news is sent to
// the window as the system sends it (WM_DEVICECHANGE with its record).
#include <windows.h>

#include <dbt.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"
#include "support/shown_form_win32.h"

namespace {

int ticks = 0;
std::function<void()> whenStarted;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form != "MAIN" || id != 0) return;
  if (code == EzTick) ++ticks;
  if (code == EzStarted) {
    showFormNow("MAIN");
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MAIN");
  }
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 40, 10, "");
}

void run(std::function<void()> started) {
  ticks = 0;
  whenStarted = std::move(started);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, nullptr);
}

bool within(int ms, const std::function<bool()>& done) {
  for (int waited = 0; waited < ms; waited += 20) {
    EZ_DOEVENTS(0);
    if (done()) return true;
    Sleep(20);
  }
  return false;
}

// A device arriving or gone, as the system tells every top-level window.
void deviceNews(WPARAM change, DWORD deviceType) {
  DEV_BROADCAST_PORT_W news{};
  news.dbcp_size = sizeof news;
  news.dbcp_devicetype = deviceType;
  wcscpy(news.dbcp_name, L"COM4");
  SendMessageW(ezwFindForm("MAIN")->window, WM_DEVICECHANGE, change,
               reinterpret_cast<LPARAM>(&news));
}

}  // namespace

TEST(EzguiTicksWin32, TheTimerTicksUntilStopped) {
  int stoppedAt = -1;
  int afterStop = -1;
  run([&] {
    EZ_SETTICKS("Main", 100);
    EXPECT_TRUE(within(5000, [] { return ticks >= 3; })) << ticks << " ticks";
    EZ_SETTICKS("Main", 0);
    stoppedAt = ticks;
    within(600, [] { return false; });
    afterStop = ticks;
  });
  EXPECT_GE(stoppedAt, 3);
  EXPECT_EQ(afterStop, stoppedAt);
}

TEST(EzguiTicksWin32, ASerialPortArrivingOrGoneTicksAtOnce) {
  std::vector<int> seen;
  run([&] {
    deviceNews(DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT);
    seen.push_back(ticks);  // no ticks asked for yet
    EZ_SETTICKS("Main", 60000);
    deviceNews(DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT);
    seen.push_back(ticks);
    deviceNews(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_PORT);
    seen.push_back(ticks);
    deviceNews(DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);  // a disk: not a port
    deviceNews(DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_PORT);
    seen.push_back(ticks);
  });
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 2}));
}
