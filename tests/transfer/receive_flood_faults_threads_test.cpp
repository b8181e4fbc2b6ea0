// Hostile streams through the real worker on its own thread, from a
// pseudo-terminal instrument: a long text that never ends a record, and
// floods of the bytes the conversion treats specially. The CSV must be what
// the plain conversion makes of the whole stream, the memory used must grow
// only with the unfinished record, and the calls waiting for the GUI thread
// must stay a handful however fast the records come.
//
// The worker pauses 100 ms whenever it finds nothing waiting, and a
// pseudo-terminal hands over a few KiB at a time, so it takes in some tens
// of KiB a second here: the streams are of 1 MiB or less. The conversion
// alone takes 16 MiB in record_converter_faults_test.cpp.
#include <QScrollBar>
#include <QTextEdit>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "support/choice_form.h"
#include "support/gui_event_log.h"
#include "support/gui_test_support.h"
#include "support/literal_converter.h"
#include "support/pty_instrument.h"
#include "transfer/receive_worker.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"
#include "transfer/worker_thread.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// Their shadow memory and the freed memory they hold back swamp the figure.
constexpr bool MemoryIsMeasurable = false;
#else
constexpr bool MemoryIsMeasurable = true;
#endif

namespace {

constexpr int Port = 6;
constexpr size_t MiB = 1024 * 1024;
constexpr int ViewLimit = 10000;  // what the program's load routine sets
constexpr size_t SliceBytes = 16 * 1024;
// Room for what does not grow with the stream: the view with its 10,000
// characters (as many lines, when records are empty), buffers, the heap's
// own slack.
constexpr long Slack = 12 * MiB;
// Sent after each flood: its units word settles whatever the flood left.
const std::string LastRecord = "\r\nlast,Feet\r\n";

// The worker's own stop flag and fate, as the transfer start gives each one.
WorkerRun TheRun;

void workerBody(void*) {
  receiveWorker(TheRun);
}

// What the plain conversion makes of the whole stream at once.
struct Expected {
  std::string csv;
  size_t lines = 0;
  std::string pending;
};

Expected plainConversion(const std::string& stream) {
  Expected e;
  literal::convertChunk(e.pending, stream);
  for (const std::string& line : literal::writeOutRecords(e.pending)) {
    e.csv += line;
    ++e.lines;
  }
  return e;
}

// From the kernel's own account of this process, in bytes; -1 when absent.
long statusField(const char* name) {
  std::ifstream in("/proc/self/status");
  std::string key;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(name, 0) == 0) return std::stol(line.substr(std::strlen(name))) * 1024;
  }
  return -1;
}

// Starts a new peak: the kernel forgets the highest resident size so far.
bool resetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

std::string repeated(const std::string& piece, size_t bytes) {
  std::string s;
  s.reserve(bytes + piece.size());
  while (s.size() < bytes) s += piece;
  return s;
}

class ReceiveFlood : public ::testing::Test {
 protected:
  void SetUp() override {
    installEventLog();
    TestEvents.design = [](const std::string& name) {
      EZ_RICHTEXT2(name, IdIncomingView, 1, 1, 40, 6, "ASV");
      EZ_STATUSBAR(name, IdStatusBar, "", "");
    };
    EZ_FORM(MainFormName, "", "Morvane", 0, 0, 122, 40, "");
    EZ_SETSBPARTS(MainForm, IdStatusBar, 3, "50|25|25");
    EZ_SETRICHTEXTLEN(MainForm, IdIncomingView, ViewLimit);
    instrument_ = std::make_unique<PtyInstrument>(folder_, Port);
    ASSERT_TRUE(openLink(Port));
    outputPath_ = temp_.path() + "out.csv";
    OutputFile = openOutputFile(outputPath_, false);
    RawLog = openRawLog(temp_.path() + "Raw.txt");
    ASSERT_GE(OutputFile.load(), 0);
    ASSERT_GE(RawLog.load(), 0);
    PendingText = {};
    DotCount = 0;
    RecordCount = 1;
    LostRecordCount = 0;
    TheRun.stopRequested = 0;
    ASSERT_TRUE(startWorkerThread(worker_, workerBody, nullptr, 1048576));
  }

  void TearDown() override {
    sent();
    TheRun.stopRequested = 1;
    joinWorkerThread(worker_);
    flushAndClose();
    closeTransferFile(OutputFile.exchange(-1));
    closeTransferFile(RawLog.exchange(-1));
    ezResetLayer();
    instrument_.reset();
  }

  // Sends `stream` while the GUI thread goes on handling its events, and
  // waits until the worker has written `lines` records. Notes the most calls
  // seen waiting for the GUI thread meanwhile.
  bool sendAndCount(const std::string& stream, size_t lines) {
    sendInSlices(stream);
    const bool counted = waitUntil(
        [&] {
          mostQueued_ = std::max(mostQueued_, ezQueuedCount());
          return RecordCount.load() == static_cast<int32_t>(lines) + 1;
        },
        90000);
    return sent() && counted;
  }

  // The instrument sends without end; each slice may take its time.
  void sendInSlices(const std::string& stream) {
    sender_ = std::thread([this, &stream] {
      for (size_t at = 0; at < stream.size(); at += SliceBytes) {
        if (!instrument_->send(std::string_view(stream).substr(at, SliceBytes),
                               std::chrono::seconds(20))) {
          return;
        }
      }
      allSent_ = true;
    });
  }
  bool sent() {
    if (sender_.joinable()) sender_.join();
    return allSent_.load();
  }

  void stopWorker() {
    TheRun.stopRequested = 1;
    joinWorkerThread(worker_);
    ezDrainQueued();
  }

  std::string csv() const { return fileContent(outputPath_); }
  static std::string view() { return ezText(MainForm, IdIncomingView); }

  // The stream with its last record, through the worker, against the plain
  // conversion; the view shows the end of the same lines. Returns how much
  // the process grew at most meanwhile, the reference made beforehand.
  long checkFlood(const std::string& flood, bool checkView = true) {
    const std::string stream = flood + LastRecord;
    const Expected expected = plainConversion(stream);
    EXPECT_TRUE(resetPeak());
    const long before = statusField("VmRSS:");
    const bool counted = sendAndCount(stream, expected.lines);
    stopWorker();
    const long growth = statusField("VmHWM:") - before;
    EXPECT_TRUE(counted) << RecordCount.load() - 1 << " of " << expected.lines
                         << " records written";
    EXPECT_EQ(csv(), expected.csv);
    EXPECT_EQ(PendingText.text, expected.pending);
    EXPECT_EQ(LostRecordCount, 0);
    EXPECT_LE(mostQueued_, 4) << "calls waiting for the GUI thread piled up";
    if (checkView) {
      std::string shown = expected.csv;
      std::replace(shown.begin(), shown.end(), '\r', '\n');
      const std::string v = view();
      EXPECT_LE(v.size(), static_cast<size_t>(ViewLimit));
      EXPECT_TRUE(shown.size() >= v.size() && shown.substr(shown.size() - v.size()) == v)
          << "the view ends as the file does";
    }
    return growth;
  }

  PortFolder folder_;
  std::unique_ptr<PtyInstrument> instrument_;
  ChoiceTempFolder temp_;
  std::string outputPath_;
  WorkerThread worker_;
  int mostQueued_ = 0;
  std::thread sender_;
  std::atomic<bool> allSent_{false};
};

}  // namespace

TEST_F(ReceiveFlood, StreamWithoutAUnitsWordWaitsAsOnePendingRecord) {
  // Record-like lines that never name their units: nothing is written, the
  // whole text waits, and memory grows with that text alone.
  const std::string stream = repeated("1,12/01/26,10:15:00,0.0,1.20,0.45,0,\r\n", MiB);
  const Expected expected = plainConversion(stream);
  ASSERT_EQ(expected.lines, 0u);
  ASSERT_TRUE(resetPeak());
  const long before = statusField("VmRSS:");
  sendInSlices(stream);
  ASSERT_TRUE(sent());
  ASSERT_TRUE(instrument_->waitQueuedForProgram(0, std::chrono::seconds(10)));
  // What the link still holds read ahead is taken on the worker's next pass.
  processEventsFor(500);
  stopWorker();
  const long peak = statusField("VmHWM:");
  EXPECT_EQ(csv(), "");
  EXPECT_EQ(view(), "");
  EXPECT_EQ(PendingText.text.size(), expected.pending.size());
  EXPECT_EQ(PendingText.text, expected.pending);
  if (MemoryIsMeasurable) {
    // The pending text with the spare room of a growing string.
    const long bound = static_cast<long>(2 * expected.pending.size()) + Slack;
    EXPECT_LT(peak - before, bound) << "grew by " << (peak - before) / 1024 << " KiB";
  }
}

TEST_F(ReceiveFlood, MarkerBytesMakeOneHeader) {
  checkFlood(std::string(MiB / 2, '\x85') + "a,Feet" + std::string(MiB / 8, '\x85'));
}

TEST_F(ReceiveFlood, HashSignsMakeOneHeader) {
  checkFlood(std::string(MiB / 2, '#') + "a,Meters" + std::string(MiB / 8, '#'));
}

TEST_F(ReceiveFlood, TerminatorsMakeOneEmptyRecordEach) {
  const std::string flood(MiB / 4, '$');
  const long growth = checkFlood(flood);
  EXPECT_GT(RecordCount.load(), static_cast<int32_t>(flood.size()));
  // Nothing pends, so memory must not grow with the quarter million records
  // that went by: not even a hundred bytes kept for each would fit.
  if (MemoryIsMeasurable) {
    EXPECT_LT(growth, Slack) << "grew by " << growth / 1024 << " KiB";
  }
}

TEST_F(ReceiveFlood, NulBytesAreDropped) {
  checkFlood(std::string(MiB / 2, '\0'));
}

TEST_F(ReceiveFlood, LineEndsAreDropped) {
  checkFlood(repeated("\r\n", MiB / 2));
}

TEST_F(ReceiveFlood, RandomBytes) {
  std::mt19937 random(20261208);
  std::string flood(MiB / 2, '\0');
  for (char& c : flood) c = static_cast<char>(random() & 0xFF);
  // The view shows control bytes its own way; the file must match exactly.
  checkFlood(flood, false);
}
