// A flood of calls from the receive worker while the GUI thread is busy
// elsewhere (a port scan, a message box): what waits for the GUI thread must
// stay a handful of calls however many records arrive, and carrying them
// out must give exactly what the calls one by one would have given.
#include <QScrollBar>
#include <QTextEdit>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "support/gui_event_log.h"
#include "support/gui_test_support.h"

namespace {

constexpr const char* Form = "Morvane";
constexpr int View = 200;
constexpr int Bar = 260;

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

class QueueFlood : public ::testing::Test {
 protected:
  void SetUp() override {
    installEventLog();
    TestEvents.design = [](const std::string& name) {
      EZ_RICHTEXT2(name, View, 0.625f, 18, 120, 20, "ASV");
      EZ_RICHTEXT2(name, View + 1, 0.625f, 2, 120, 10, "ASV");
      EZ_STATUSBAR(name, Bar, "", "");
    };
    EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
    EZ_SETSBPARTS(Form, Bar, 3, "50|25|25");
  }
  void TearDown() override { ezResetLayer(); }

  static QScrollBar* bar() {
    return qobject_cast<QTextEdit*>(ezWidget(Form, View))->verticalScrollBar();
  }
};

}  // namespace

TEST_F(QueueFlood, RecordsWhileTheGuiThreadIsBusyWaitAsAFewCalls) {
  std::thread worker(records, 1, 20000);
  worker.join();
  EXPECT_LE(ezQueuedCount(), 4) << "20,000 records queued as " << ezQueuedCount() << " calls";
  ezDrainQueued();
  EXPECT_EQ(ezText(Form, View), lines(1, 20000)) << "no record lost, none out of order";
  EXPECT_EQ(ezStatusText(Form, Bar, 1), "Receiving data 20000");
  EXPECT_EQ(bar()->value(), bar()->maximum()) << "the last scroll to the end is kept";
  EXPECT_EQ(ezQueuedCount(), 0);
}

TEST_F(QueueFlood, StaysSmallWhileTheGuiThreadIsBusyAgainAndAgain) {
  // The GUI thread takes the queue now and then, the worker never waits.
  std::string expected;
  for (int round = 0; round < 20; ++round) {
    std::thread worker(records, round * 1000 + 1, round * 1000 + 1000);
    worker.join();
    EXPECT_LE(ezQueuedCount(), 4) << "round " << round;
    if (round % 3 == 0) ezDrainQueued();
  }
  ezDrainQueued();
  EXPECT_EQ(ezText(Form, View), lines(1, 20000));
}

TEST_F(QueueFlood, OtherCallsBetweenRecordsKeepTheirPlace) {
  // A text replaced or a selection moved between appends: the appends
  // before it must not be joined with those after it.
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
  ezDrainQueued();
  EXPECT_EQ(ezText(Form, View), "first\ncleared\n" + lines(4, 8));
  EXPECT_EQ(ezText(Form, View + 1), "other view\n");
}

TEST_F(QueueFlood, AGuiThreadCallCarriesOutWhatTheFloodQueuedFirst) {
  std::thread worker(records, 1, 5000);
  worker.join();
  EZ_SETSBTEXT(Form, Bar, 1, "Ready To Start", "P");
  EXPECT_EQ(ezQueuedCount(), 0);
  EXPECT_EQ(ezStatusText(Form, Bar, 1), "Ready To Start");
  EXPECT_EQ(ezText(Form, View), lines(1, 5000));
}
