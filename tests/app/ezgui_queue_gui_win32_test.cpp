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
#include "app/ezgui/ezgui_queue.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr const char* Form = "Morvane";
constexpr int View = 200;
constexpr int Bar = 260;

// What reached the rich-text view, one entry a call, on the GUI thread.
std::vector<std::string> viewCalls;
std::function<void()> whenStarted;
std::function<void()> whenClosing;

void selection(const std::string& form, int id, int start, int end) {
  viewCalls.push_back(form + " " + std::to_string(id) + " sel " + std::to_string(start) + " " +
                      std::to_string(end));
}
void text(const std::string& form, int id, const std::string& t, int a, int b) {
  viewCalls.push_back(form + " " + std::to_string(id) + " text " + std::to_string(a) + " " +
                      std::to_string(b) + " " + t);
}
void append(const std::string& form, int id, const std::string& t) {
  viewCalls.push_back(form + " " + std::to_string(id) + " append " + t);
}
void scrollTo(const std::string& form, int id, int mode, int value) {
  viewCalls.push_back(form + " " + std::to_string(id) + " scroll " + std::to_string(mode) + " " +
                      std::to_string(value));
}

void record(std::string& form, int& id, int& code, int&, int&) {
  if (form != "MORVANE" || id != 0) return;
  if (code == EzStarted && whenStarted) whenStarted();
  if (code == EzFormGoingAway && whenClosing) whenClosing();
}

void design(const std::string& form) {
  EZ_STATUSBAR(form, Bar, "", "");
  EZ_SETSBPARTS(form, Bar, 3, "50|25|25");
}

void startup(int) {
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
}

void run(std::function<void()> started, std::function<void()> closing = nullptr) {
  viewCalls.clear();
  ezwSetRichTextCalls({selection, text, append, scrollTo});
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
    ezQueueCall({EzQueuedKind::RichSelection, Form, View, -1, -1, {}});
    ezQueueCall({EzQueuedKind::RichText, Form, View, 0, 1, line(i)});
    if (i % 26 == 0) ezQueueCall({EzQueuedKind::ScrollTo, Form, View, 1, -2, {}});
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
        EXPECT_EQ(ezwQueuedCount(), 1) << "texts for one part replace each other";
        closeByTheLoop();
      },
      [] { EXPECT_EQ(statusPart(0), "Receiving data 5000") << "the loop carried it out"; });
}

TEST(EzguiQueueWin32, RecordsWhileTheGuiThreadIsBusyWaitAsAFewCalls) {
  run([] {
    std::thread worker(records, 1, 5000);
    worker.join();
    EXPECT_LE(ezwQueuedCount(), 4) << "5,000 records queued as " << ezwQueuedCount() << " calls";
    EZ_DOEVENTS(1);
    EXPECT_EQ(ezwQueuedCount(), 0);
    EXPECT_EQ(statusPart(0), "Receiving data 5000");
    // One insert of every line in order, then the last scroll to the end.
    const std::vector<std::string> expected = {"Morvane 200 append " + lines(1, 5000),
                                               "Morvane 200 scroll 1 -2"};
    EXPECT_TRUE(viewCalls == expected) << viewCalls.size() << " calls";
    EZ_UNLOADFORM(Form);
  });
}

TEST(EzguiQueueWin32, OtherCallsBetweenRecordsKeepTheirPlace) {
  run([] {
    // A text replaced or a selection moved between appends: the appends
    // before it are not joined with those after it.
    std::thread worker([] {
      records(1, 2);
      ezQueueCall({EzQueuedKind::RichText, Form, View, 0, 0, "cleared\n"});
      records(3, 3);
      ezQueueCall({EzQueuedKind::RichSelection, Form, View, 0, 0, {}});
      ezQueueCall({EzQueuedKind::RichText, Form, View, 0, 1, "first\n"});
      ezQueueCall({EzQueuedKind::RichSelection, Form, View + 1, -1, -1, {}});
      ezQueueCall({EzQueuedKind::RichText, Form, View + 1, 0, 1, "other view\n"});
      records(4, 5);
    });
    worker.join();
    EZ_DOEVENTS(1);
    const std::vector<std::string> expected = {
        "Morvane 200 append " + lines(1, 2), "Morvane 200 text 0 0 cleared\n",
        "Morvane 200 append " + line(3),     "Morvane 200 sel 0 0",
        "Morvane 200 text 0 1 first\n",      "Morvane 201 append other view\n",
        "Morvane 200 append " + lines(4, 5)};
    EXPECT_TRUE(viewCalls == expected) << viewCalls.size() << " calls";
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
        EXPECT_EQ(ezwQueuedCount(), 0);
        EXPECT_EQ(statusPart(0), "Ready To Start");
        const std::vector<std::string> expected = {"Morvane 200 append " + lines(1, 500),
                                                   "Morvane 200 scroll 1 -2"};
        EXPECT_TRUE(viewCalls == expected) << "the records went in first";
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
      const bool done = ezwQueuedCount() == 0 && statusPart(1) == "3000" && statusPart(2) == "3000";
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
