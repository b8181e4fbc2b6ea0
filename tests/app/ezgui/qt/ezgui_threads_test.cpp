// Calls from the receive worker's thread: carried to the GUI thread in the
// order they were made, without the worker ever waiting for it.
#include <QTextDocument>
#include <QTextEdit>
#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "support/gui_event_log.h"
#include "support/gui_test_support.h"

namespace {

constexpr const char* Form = "Morvane";

std::string line(int i) {
  return "XS1,2024-05-01,10:00:" + std::to_string(i) + ",St,1.0,0.5,0,Feet\n";
}

// What the worker does for each record, and now and then for the status.
void workerRun(int from, int to) {
  for (int i = from; i <= to; ++i) {
    if (i % 10 == 0) {
      EZ_SETSBTEXT(Form, 260, 1, "Receiving data . " + std::to_string(i), "P");
      EZ_DOEVENTS(10);
    }
    EZ_SETRICHSEL(Form, 200, -1, -1);
    EZ_SETRICHTEXT(Form, 200, line(i), 0, 1);
    if (i % 26 == 0) EZ_SCROLLTO(Form, 200, 1, -2);
  }
}

std::string expectedLines(int from, int to) {
  std::string s;
  for (int i = from; i <= to; ++i) s += line(i);
  return s;
}

class WorkerCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    installEventLog();
    TestEvents.design = [](const std::string& name) {
      EZ_RICHTEXT2(name, 200, 0.625f, 18, 120, 20, "ASV");
      EZ_STATUSBAR(name, 260, "", "");
    };
    EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
    EZ_SETSBPARTS(Form, 260, 3, "50|25|25");
  }
  void TearDown() override { ezResetLayer(); }
};

}  // namespace

TEST_F(WorkerCalls, WorkerNeverWaitsForTheGuiThread) {
  // The GUI thread handles nothing until the worker is done, as when it is
  // busy joining the worker: the worker must finish all the same.
  std::thread worker(workerRun, 1, 500);
  worker.join();
  EXPECT_EQ(ezText(Form, 200), "") << "nothing touched a widget from the worker";
  EXPECT_GT(ezDrainQueued(), 0);
  EXPECT_EQ(ezText(Form, 200), expectedLines(1, 500));
  EXPECT_EQ(ezStatusText(Form, 260, 1), "Receiving data . 500");
  EXPECT_EQ(ezDrainQueued(), 0);
}

TEST_F(WorkerCalls, DeliveredInOrderWhileTheGuiThreadRuns) {
  // Records come in small bursts over a few timer periods, so the GUI
  // thread takes calls off the queue while the worker adds to it.
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int burst = 0; burst < 60; ++burst) {
      workerRun(burst * 10 + 1, burst * 10 + 10);
      std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    done = true;
  });
  const std::string all = expectedLines(1, 600);
  const bool arrived = waitUntil([&] { return done && ezText(Form, 200) == all; }, 10000);
  worker.join();
  EXPECT_TRUE(arrived) << "the queue is carried out by the GUI thread on its own";
  EXPECT_EQ(ezText(Form, 200), all);
  EXPECT_EQ(ezStatusText(Form, 260, 1), "Receiving data . 600");
}

// An idle window is never woken for the queue: the timer that carries it
// out runs from the first call queued until it finds the queue empty.
TEST_F(WorkerCalls, QueueTimerRunsOnlyWhileCallsCome) {
  processEventsFor(100);
  EXPECT_FALSE(ezQueueTimerRunning()) << "an idle window is woken 25 times a second";
  for (const std::string text : {"first call", "second call"}) {
    std::thread worker([&] {
      EZ_SETSBTEXT(Form, 260, 2, text, "P");
      EZ_SETSBTEXT(Form, 260, 3, text, "P");
    });
    worker.join();
    EXPECT_TRUE(waitUntil([&] { return ezStatusText(Form, 260, 3) == text; }))
        << "a call queued to an idle window waits";
    EXPECT_EQ(ezStatusText(Form, 260, 2), text);
    EXPECT_TRUE(waitUntil([] { return !ezQueueTimerRunning(); }))
        << "the timer runs on with nothing queued";
  }
}

TEST_F(WorkerCalls, QueuedAppendsGoInAsFewInserts) {
  auto* view = qobject_cast<QTextEdit*>(ezWidget(Form, 200));
  int edits = 0;
  QObject::connect(view->document(), &QTextDocument::contentsChange,
                   [&](int, int, int added) { edits += added > 0 ? 1 : 0; });
  std::thread worker(workerRun, 1, 400);
  worker.join();
  EZ_DOEVENTS(1);
  EXPECT_EQ(ezText(Form, 200), expectedLines(1, 400));
  EXPECT_GE(edits, 1);
  EXPECT_LE(edits, 5) << "400 records arrived as " << edits << " inserts";
}

TEST_F(WorkerCalls, GuiThreadCallsComeAfterWhatIsQueued) {
  // The stop sequence writes its own texts once the worker is gone; the
  // worker's last ones must not arrive after them.
  std::thread worker([] {
    workerRun(1, 30);
    EZ_SETSBTEXT(Form, 260, 1, "Receiving data . . .", "P");
  });
  worker.join();
  EZ_SETSBTEXT(Form, 260, 1, "Ready To Start", "P");
  EXPECT_EQ(ezStatusText(Form, 260, 1), "Ready To Start");
  EXPECT_EQ(ezText(Form, 200), expectedLines(1, 30));

  std::thread more(workerRun, 31, 40);
  more.join();
  EZ_SETRICHTEXT(Form, 200, "", 0, 0);  // the view cleared for an overwrite
  EXPECT_EQ(ezText(Form, 200), "");
  processEventsFor(100);
  EXPECT_EQ(ezText(Form, 200), "") << "no queued line came back after the clear";
}

TEST_F(WorkerCalls, CallsForAFormThatWentAwayAreDropped) {
  std::thread worker(workerRun, 1, 50);
  worker.join();
  EZ_UNLOADFORM(Form);
  EXPECT_GT(ezDrainQueued(), 0) << "the calls were queued, and are carried out without a form";
  EXPECT_EQ(EZ_ISFORM(Form, "E"), 0);
}

TEST_F(WorkerCalls, TwoThreadsEachKeepTheirOrder) {
  EZ_RICHTEXT2(Form, 201, 0, 0, 50, 5, "");
  std::thread a([] {
    for (int i = 0; i < 200; ++i) {
      EZ_SETRICHSEL(Form, 200, -1, -1);
      EZ_SETRICHTEXT(Form, 200, line(i), 0, 1);
    }
  });
  std::thread b([] {
    for (int i = 0; i < 200; ++i) {
      EZ_SETRICHSEL(Form, 201, -1, -1);
      EZ_SETRICHTEXT(Form, 201, line(i), 0, 1);
    }
  });
  a.join();
  b.join();
  ezDrainQueued();
  EXPECT_EQ(ezText(Form, 200), expectedLines(0, 199));
  EXPECT_EQ(ezText(Form, 201), expectedLines(0, 199));
}
