// Calls from the receive worker's thread under Win32: carried to the GUI
// thread in the order they were made, by the message loop itself, without
// the worker ever waiting for it; a flood of records while the GUI thread is
// busy waits as a few joined calls that show what the calls one by one
// would have shown.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr const char* Form = "Morvane";
constexpr int View = 200;
constexpr int Bar = 260;

std::function<void()> whenStarted;
std::function<void()> whenClosing;

void record(std::string& form, int& id, int& code, int&, int&) {
  if (form != "MORVANE" || id != 0) return;
  if (code == EzStarted && whenStarted) whenStarted();
  if (code == EzFormGoingAway && whenClosing) whenClosing();
}

void design(const std::string& form) {
  EZ_RICHTEXT2(form, View, 0.625f, 18, 120, 20, "ASV");
  EZ_RICHTEXT2(form, View + 1, 0.625f, 2, 120, 10, "ASV");
  EZ_STATUSBAR(form, Bar, "", "");
  EZ_SETSBPARTS(form, Bar, 3, "50|25|25");
}

void startup(int) {
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
}

void run(std::function<void()> started, std::function<void()> closing = nullptr) {
  whenStarted = std::move(started);
  whenClosing = std::move(closing);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, record, design);
}

// Closing the window goes through the message loop, behind whatever was
// posted before it.
void closeByTheLoop() {
  PostMessageW(ezwFormWindow(Form), WM_CLOSE, 0, 0);
}

std::string statusPart(int index) {
  EzwControl* c = ezwFindControl(Form, Bar);
  if (!c) return "<no bar>";
  wchar_t shown[128] = {};
  SendMessageW(c->window, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(shown));
  std::string narrow;
  for (const wchar_t* p = shown; *p; ++p) narrow += static_cast<char>(*p);
  return narrow;
}

std::string viewText(int id) {
  EzwControl* c = ezwFindControl(Form, id);
  return c ? ezwRichViewText(c->window) : "<no view>";
}

bool scrolledToTheEnd(int id) {
  SCROLLINFO bar{};
  bar.cbSize = sizeof bar;
  bar.fMask = SIF_ALL;
  GetScrollInfo(ezwFindControl(Form, id)->window, SB_VERT, &bar);
  return bar.nMax > static_cast<int>(bar.nPage) &&
         bar.nPos + static_cast<int>(bar.nPage) >= bar.nMax;
}

std::string line(int i) {
  return std::to_string(i) + ",12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\n";
}

std::string lines(int from, int to) {
  std::string s;
  for (int i = from; i <= to; ++i) s += line(i);
  return s;
}

// The worker's calls for each record, with a status refresh now and then.
void records(int from, int to) {
  for (int i = from; i <= to; ++i) {
    if (i % 500 == 0) {
      EZ_SETSBTEXT(Form, Bar, 1, "Receiving data " + std::to_string(i), "P");
      EZ_DOEVENTS(10);
    }
    EZ_SETRICHSEL(Form, View, -1, -1);
    EZ_SETRICHTEXT(Form, View, line(i), 0, 1);
    if (i % 26 == 0) EZ_SCROLLTO(Form, View, 1, -2);
  }
}

}  // namespace

TEST(EzguiQueueWin32, TheWorkerNeverWaitsAndTheLoopCarriesOutItsCalls) {
  run(
      [] {
        // The GUI thread handles nothing until the worker is done, as when it
        // is joining the worker: the worker must finish all the same.
        std::thread worker([] {
          for (int i = 1; i <= 5000; ++i) {
            EZ_SETSBTEXT(Form, Bar, 1, "Receiving data " + std::to_string(i), "P");
            EZ_DOEVENTS(10);
          }
        });
        worker.join();
        EXPECT_EQ(statusPart(0), "") << "carried out on the worker's thread";
        EXPECT_EQ(ezQueuedCount(), 1) << "texts for one part replace each other";
        closeByTheLoop();
      },
      [] { EXPECT_EQ(statusPart(0), "Receiving data 5000") << "the loop carried it out"; });
}

TEST(EzguiQueueWin32, RecordsWhileTheGuiThreadIsBusyWaitAsAFewCalls) {
  run([] {
    std::thread worker(records, 1, 5000);
    worker.join();
    EXPECT_LE(ezQueuedCount(), 4) << "5,000 records queued as " << ezQueuedCount() << " calls";
    EZ_DOEVENTS(1);
    EXPECT_EQ(ezQueuedCount(), 0);
    EXPECT_EQ(statusPart(0), "Receiving data 5000");
    EXPECT_TRUE(viewText(View) == lines(1, 5000)) << "no record lost, none out of order";
    EXPECT_TRUE(scrolledToTheEnd(View)) << "the last scroll to the end is kept";
    EZ_UNLOADFORM(Form);
  });
}

TEST(EzguiQueueWin32, OtherCallsBetweenRecordsKeepTheirPlace) {
  run([] {
    // A text replaced or a selection moved between appends: the appends
    // before it are not joined with those after it.
    std::thread worker([] {
      records(1, 3);
      EZ_SETRICHTEXT(Form, View, "cleared\n", 0, 0);
      records(4, 5);
      EZ_SETRICHSEL(Form, View, 0, 0);
      EZ_SETRICHTEXT(Form, View, "first\n", 0, 1);
      records(6, 6);
      EZ_SETRICHSEL(Form, View + 1, -1, -1);
      EZ_SETRICHTEXT(Form, View + 1, "other view\n", 0, 1);
      records(7, 8);
    });
    worker.join();
    EZ_DOEVENTS(1);
    EXPECT_EQ(viewText(View), "first\ncleared\n" + lines(4, 8));
    EXPECT_EQ(viewText(View + 1), "other view\n");
    EZ_UNLOADFORM(Form);
  });
}

TEST(EzguiQueueWin32, AGuiThreadCallComesAfterWhatIsQueued) {
  run(
      [] {
        // The stop sequence writes its own text once the worker is gone; the
        // worker's last one, still queued, must not arrive after it.
        std::thread worker(records, 1, 500);
        worker.join();
        EZ_SETSBTEXT(Form, Bar, 1, "Ready To Start", "P");
        EXPECT_EQ(ezQueuedCount(), 0);
        EXPECT_EQ(statusPart(0), "Ready To Start");
        EXPECT_TRUE(viewText(View) == lines(1, 500)) << "the records went in first";
        closeByTheLoop();
      },
      [] { EXPECT_EQ(statusPart(0), "Ready To Start"); });
}

TEST(EzguiQueueWin32, TwoThreadsEachKeepTheirOrder) {
  run([] {
    auto count = [](int part) {
      for (int i = 1; i <= 3000; ++i) EZ_SETSBTEXT(Form, Bar, part, std::to_string(i), "P");
    };
    std::thread first(count, 2);
    std::thread second(count, 3);
    int seen[2] = {0, 0};
    for (;;) {
      const bool done = ezQueuedCount() == 0 && statusPart(1) == "3000" && statusPart(2) == "3000";
      EZ_DOEVENTS(1);
      for (int k = 0; k < 2; ++k) {
        const std::string shown = statusPart(k + 1);
        const int now = shown.empty() ? 0 : std::stoi(shown);
        EXPECT_GE(now, seen[k]) << "part " << k + 2 << " went back";
        seen[k] = now;
      }
      if (done) break;
      Sleep(1);
    }
    first.join();
    second.join();
    EZ_UNLOADFORM(Form);
  });
}
