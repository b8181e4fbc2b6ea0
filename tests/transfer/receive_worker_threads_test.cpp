// The receive worker on its own thread, taking an instrument's stream from a
// pseudo-terminal through the serial link, writing real files and calling
// the real main form.
#include <fcntl.h>
#include <unistd.h>

#include <QScrollBar>
#include <QTextEdit>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "support/choice_form.h"
#include "support/gui_event_log.h"
#include "support/gui_test_support.h"
#include "support/pty_instrument.h"
#include "transfer/receive_worker.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"
#include "transfer/worker_thread.h"

namespace {

constexpr int Port = 5;
const std::string Header = "\rXSec,Date,Time,Station,Depth,Velocity,Angle,Units\r";
const std::string Marker = "\x85";
const std::string Waiting = "Waiting for data . . . . . . . . .";

std::atomic<bool> WorkerEnded{false};
// The worker's own stop flag and fate, as the transfer start gives each one.
WorkerRun TheRun;

void workerBody(void*) {
  receiveWorker(TheRun);
  WorkerEnded = true;
}

std::string record(int i) {
  return "1," + std::to_string(i) + ",12:00:00,3,1.2,0.45,0,Feet\r\n";
}

size_t countOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string withoutChunkEnds(std::string text) {
  std::erase(text, '\r');
  std::erase(text, '\n');
  return text;
}

std::string receiving(int groups) {
  std::string text = "Receiving data";
  for (int i = 0; i < groups; ++i) text += " .";
  return text;
}

class ReceiveWorkerThreads : public ::testing::Test {
 protected:
  void SetUp() override {
    installEventLog();
    TestEvents.design = [](const std::string& name) {
      EZ_RICHTEXT2(name, IdIncomingView, 1, 1, 40, 6, "ASV");
      EZ_STATUSBAR(name, IdStatusBar, "", "");
    };
    EZ_FORM(MainFormName, "", "Morvane", 0, 0, 122, 40, "");
    EZ_SETSBPARTS(MainForm, IdStatusBar, 3, "50|25|25");
    instrument_ = std::make_unique<PtyInstrument>(folder_, Port);
    ASSERT_TRUE(openLink(Port));
    outputPath_ = temp_.path() + "out.csv";
    rawPath_ = temp_.path() + "Raw.txt";
    OutputFile = openOutputFile(outputPath_, false);
    RawLog = openRawLog(rawPath_);
    ASSERT_GE(OutputFile.load(), 0);
    ASSERT_GE(RawLog.load(), 0);
    // It outlives transfers; a test starts as the program does.
    PendingText = {};
  }

  void TearDown() override {
    stopWorker();
    flushAndClose();
    closeTransferFile(OutputFile.exchange(-1));
    closeTransferFile(RawLog.exchange(-1));
    ezResetLayer();
    instrument_.reset();
  }

  // What the transfer start leaves before it starts the worker.
  void startWorker(int16_t dots = 0) {
    EZ_SETSBTEXT(MainForm, IdStatusBar, StatusOverall, Waiting, "P");
    DotCount = dots;
    RecordCount = 1;
    LostRecordCount = 0;
    TheRun.stopRequested = 0;
    WorkerEnded = false;
    ASSERT_TRUE(startWorkerThread(worker_, workerBody, nullptr, 1048576));
  }

  void stopWorker() {
    TheRun.stopRequested = 1;
    joinWorkerThread(worker_);
  }

  bool send(const std::string& bytes) { return instrument_->send(bytes); }
  std::string csv() const { return fileContent(outputPath_); }
  std::string raw() const { return fileContent(rawPath_); }
  static std::string view() { return ezText(MainForm, IdIncomingView); }
  static std::string status() { return ezStatusText(MainForm, IdStatusBar, StatusOverall); }
  static QScrollBar* viewBar() {
    return qobject_cast<QTextEdit*>(ezWidget(MainForm, IdIncomingView))->verticalScrollBar();
  }

  PortFolder folder_;
  std::unique_ptr<PtyInstrument> instrument_;
  ChoiceTempFolder temp_;
  std::string outputPath_;
  std::string rawPath_;
  WorkerThread worker_;
};

}  // namespace

TEST_F(ReceiveWorkerThreads, RecordsReachFileViewAndCounter) {
  startWorker();
  ASSERT_TRUE(send(Marker + "a,b,Feet\r\nc,d,Meters\r\ne,f"));
  const std::string expected = Header + "a,b,Feet\nc,d,Meters\n";
  EXPECT_TRUE(waitUntil([&] { return csv() == expected && RecordCount == 3; }))
      << "file holds: " << csv();
  // The view shows the same lines; the header's CR bytes end lines there.
  EXPECT_TRUE(waitUntil([&] { return view().find("c,d,Meters") != std::string::npos; }));
  EXPECT_EQ(view(), "\nXSec,Date,Time,Station,Depth,Velocity,Angle,Units\na,b,Feet\nc,d,Meters\n");
  stopWorker();
  EXPECT_EQ(PendingText.text, "e,f") << "the unfinished record waits";
  EXPECT_EQ(LostRecordCount, 0);
  // Data within a second of the worker's start leaves the status alone.
  EXPECT_EQ(status(), Waiting);
  EXPECT_EQ(DotCount, 0);
}

TEST_F(ReceiveWorkerThreads, EachChunkIsLoggedAsReceivedWithCrLf) {
  startWorker();
  const std::vector<std::string> chunks = {std::string("\0", 1) + Marker + "1,Fe", "et\r\n2,Met",
                                           "ers\r\n\r\n"};
  std::string expected;
  for (const std::string& chunk : chunks) {
    ASSERT_TRUE(send(chunk));
    expected += chunk + "\r\n";
    ASSERT_TRUE(waitUntil([&] { return raw() == expected; })) << "log holds: " << raw();
  }
  EXPECT_EQ(csv(), Header + "1,Feet\n2,Meters\n");
}

TEST_F(ReceiveWorkerThreads, StatusDotsMoveWhileDataFlowsAndWaitingReturns) {
  // 14 dots already shown: the next refresh shows 15, then one again. A
  // port scan meanwhile (counter -1) makes the next refresh show none.
  startWorker(14);
  std::vector<std::string> seen = {status()};
  const auto note = [&] {
    if (status() != seen.back()) seen.push_back(status());
  };
  bool portScanDone = false;
  int i = 0;
  const bool flowed = waitUntil(
      [&] {
        note();
        if (!portScanDone && seen.back() == receiving(1)) {
          DotCount = -1;
          portScanDone = true;
        }
        if (portScanDone && seen.size() >= 5) return true;
        if (i % 10 == 0) send(record(i / 10));
        ++i;
        return false;
      },
      20000);
  ASSERT_TRUE(flowed);
  // Nothing arrives now: the waiting text comes back once.
  EXPECT_TRUE(waitUntil(
      [&] {
        note();
        return status() == Waiting;
      },
      6000));
  processEventsFor(300);
  note();
  const std::vector<std::string> expected = {Waiting,      receiving(15), receiving(1),
                                             receiving(0), receiving(1),  Waiting};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(DotCount, 0);
}

TEST_F(ReceiveWorkerThreads, ViewScrollsToItsEndEveryTwentySixRecords) {
  startWorker();
  // Waits until the worker has counted them and the view has them all.
  const auto sendRecords = [&](int from, int to) {
    for (int i = from; i <= to; ++i) {
      if (!send(record(i))) return false;
    }
    const bool counted = waitUntil([&] { return RecordCount == to + 1; });
    ezDrainQueued();
    return counted;
  };
  ASSERT_TRUE(sendRecords(1, 24));
  processEventsFor(100);
  EXPECT_GT(viewBar()->maximum(), 0) << "the view must overflow for the test to tell";
  EXPECT_EQ(viewBar()->value(), 0) << "appending alone does not scroll";
  ASSERT_TRUE(sendRecords(25, 25));
  EXPECT_TRUE(waitUntil([&] { return viewBar()->value() == viewBar()->maximum(); }));
  const int afterFirst = viewBar()->value();
  ASSERT_TRUE(sendRecords(26, 50));
  processEventsFor(100);
  EXPECT_EQ(viewBar()->value(), afterFirst) << "no scroll between the 25th and the 51st";
  EXPECT_LT(viewBar()->value(), viewBar()->maximum());
  ASSERT_TRUE(sendRecords(51, 51));
  EXPECT_TRUE(waitUntil([&] { return viewBar()->value() == viewBar()->maximum(); }));
  EXPECT_EQ(RecordCount, 52);
}

TEST_F(ReceiveWorkerThreads, StopFlagEndsTheIdleWorker) {
  startWorker();
  ASSERT_TRUE(send(record(1)));
  ASSERT_TRUE(waitUntil([] { return RecordCount == 2; }));
  TheRun.stopRequested = 1;
  EXPECT_TRUE(waitUntil([] { return WorkerEnded.load(); }, 2000))
      << "the worker looks at the flag after each idle pause";
  joinWorkerThread(worker_);
  // Gone for good: what the instrument sends now stays on the line.
  ASSERT_TRUE(send(record(2)));
  EXPECT_TRUE(instrument_->waitQueuedForProgram(record(2).size()));
  processEventsFor(300);
  EXPECT_EQ(RecordCount, 2);
  EXPECT_EQ(bytesWaiting(), static_cast<int32_t>(record(2).size()));
}

TEST_F(ReceiveWorkerThreads, LinesTheFileRefusesAreCountedAsLost) {
  closeTransferFile(OutputFile.exchange(open(outputPath_.c_str(), O_RDONLY | O_CLOEXEC)));
  ASSERT_GE(OutputFile.load(), 0);
  startWorker();
  ASSERT_TRUE(send(record(1) + record(2) + record(3)));
  ASSERT_TRUE(waitUntil([] { return RecordCount == 4; }));
  EXPECT_EQ(LostRecordCount, 3);
  EXPECT_EQ(csv(), "");
  // Still shown to the user.
  EXPECT_TRUE(waitUntil([] { return view().find(",3,12:00:00") != std::string::npos; }));
}

TEST_F(ReceiveWorkerThreads, UnfinishedRecordIsContinuedByTheNextTransfer) {
  startWorker();
  ASSERT_TRUE(send("a,1,Feet\r\nb,2"));
  ASSERT_TRUE(waitUntil([&] { return csv() == "a,1,Feet\n"; }));
  // Text without a units word goes only to the raw log.
  ASSERT_TRUE(send(",3"));
  ASSERT_TRUE(waitUntil([&] { return raw() == "a,1,Feet\r\nb,2\r\n,3\r\n"; }));
  stopWorker();
  EXPECT_EQ(csv(), "a,1,Feet\n");

  // The next transfer writes a new file and starts a new raw log.
  closeTransferFile(OutputFile.exchange(-1));
  closeTransferFile(RawLog.exchange(-1));
  OutputFile = openOutputFile(outputPath_, false);
  RawLog = openRawLog(rawPath_);
  ASSERT_GE(OutputFile.load(), 0);
  startWorker();
  ASSERT_TRUE(send(",Meters\r\n"));
  EXPECT_TRUE(waitUntil([&] { return csv() == "b,2,3,Meters\n"; })) << "file holds: " << csv();
  EXPECT_EQ(raw(), ",Meters\r\n\r\n");
}

// A laptop's battery: a line at the instrument's rate is taken once a pause,
// as it always was, not every time a byte arrives. Only a line faster than
// that wakes the worker early (the link's idle wait, tested with the link).
TEST_F(ReceiveWorkerThreads, AtTheLineRateTheLineIsTakenOncePerPause) {
  startWorker();
  // Three seconds at the line rate, written as the bytes fall due; records
  // without line ends, so that every CR LF in the raw log ends a chunk.
  std::string stream;
  for (int i = 0; stream.size() < 3 * PtyInstrument::kLineRate; ++i) {
    stream += "1," + std::to_string(i) + ",12:00:00,3,1.2,0.45,0,Feet";
  }
  instrument_->sendInBackground(stream, Pace::LineRate);
  ASSERT_TRUE(instrument_->waitBackground(std::chrono::seconds(20)));
  ASSERT_TRUE(waitUntil([&] { return withoutChunkEnds(raw()) == stream; }, 8000));
  // Thirty pauses in three seconds; a chunk now and then comes between two.
  EXPECT_LE(countOf(raw(), "\r\n"), 60u);
}
