// Time is taken from the monotonic clock rather than the time of day: within
// a day it behaves the same, and the status text does not freeze at midnight
// when the time of day starts again from zero.
#include "transfer/receive_worker.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"

PendingRecord PendingText;

namespace {

constexpr int64_t IdlePauseMs = 100;
constexpr auto IdlePause = std::chrono::milliseconds(IdlePauseMs);
constexpr int64_t RefreshAfterMs = 1000;
constexpr int64_t WaitingAfterMs = 3000;
constexpr int64_t LastPassLimitMs = 1000;
constexpr int64_t SyncPeriodMs = 1000;
constexpr int16_t MostDots = 15;
constexpr int32_t ScrollPeriod = 26;
constexpr const char* TextWaiting = "Waiting for data . . . . . . . . .";
constexpr const char* TextReceiving = "Receiving data";

int64_t nowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The current time in whole seconds, halves rounded to even, kept in ms.
int64_t stampNow() {
  const int64_t ms = nowMs();
  int64_t seconds = ms / 1000;
  const int64_t rest = ms % 1000;
  if (rest > 500 || (rest == 500 && seconds % 2 != 0)) ++seconds;
  return seconds * 1000;
}

int64_t sinceMs(int64_t stamp) {
  return nowMs() - stamp;
}

// Once Stop has been asked for, part 1 is the stop sequence's. Lines the
// output file did not take are told in front of every text while the
// transfer runs, so the crew can act before the instrument has finished.
void showStatus(const WorkerRun& run, const std::string& text) {
  if (run.stopRequested.load() != 0) return;
  const int32_t lost = LostRecordCount.load();
  const std::string shown =
      lost > 0 ? std::to_string(lost) + " record(s) not saved to file! " + text : text;
  EZ_SETSBTEXT(MainForm, IdStatusBar, StatusOverall, shown, "P");
}

std::string receivingText(int16_t dots) {
  std::string text = TextReceiving;
  for (int16_t i = 0; i < dots; ++i) text += " .";
  return text;
}

// What part 1 shows now, by the dot counter's code.
std::string activityText() {
  const int16_t dots = DotCount.load();
  return dots == 0 ? TextWaiting : receivingText(dots);
}

// How much the line has brought lately: the bytes taken in the current
// pause's length of time and in the one before it.
class LinePace {
 public:
  void took(int32_t bytes) {
    roll();
    recent_ += bytes;
  }
  // More than a few times what the instrument's line carries: the line is
  // faster than one take per pause would keep up with.
  bool busy() {
    roll();
    return recent_ + previous_ >= BusyBytes;
  }

 private:
  static constexpr int64_t BusyBytes = 1024;

  void roll() {
    const int64_t now = nowMs();
    const int64_t age = now - windowStart_;
    if (age < IdlePauseMs) return;
    previous_ = age < 2 * IdlePauseMs ? recent_ : 0;
    recent_ = 0;
    windowStart_ = now;
  }

  int64_t windowStart_ = 0;
  int64_t recent_ = 0;
  int64_t previous_ = 0;
};

// Nothing waiting. At the instrument's rate the worker sleeps the whole
// pause and takes what came meanwhile in one go: ten polls a second, a
// battery's worth of quiet. A busier line ends the pause with its first
// bytes instead, so that it is taken as fast as it delivers rather than one
// driver queue a pause.
// Shows the waiting text once per pause in the data: the counter at 0 says
// it is already shown.
void idlePause(const WorkerRun& run, int64_t stamp, LinePace& pace) {
  if (pace.busy()) {
    waitForBytes(IdlePause);
  } else {
    std::this_thread::sleep_for(IdlePause);
  }
  if (sinceMs(stamp) <= WaitingAfterMs) return;
  int16_t seen = DotCount.load();
  while (seen != 0) {
    if (DotCount.compare_exchange_weak(seen, 0)) {
      showStatus(run, TextWaiting);
      return;
    }
  }
}

// Waiting for data would be untrue once the instrument is unplugged: the
// crew must learn that its cable or adapter is out, and that the transfer
// goes on once it is back.
void showPortGone(const WorkerRun& run) {
  showStatus(run, "Port COM " + std::to_string(linkPortNumber()) +
                      " disconnected - waiting for it to come back");
}

// A cable pulled or wiggled during a transfer: the files stay open and the
// port is opened again as soon as it is back, at the idle pace meanwhile.
// `goneShown` keeps the text from being written again each pass. True once
// the port is open again.
bool followGonePort(const WorkerRun& run, bool& goneShown) {
  if (!goneShown) showPortGone(run);
  goneShown = true;
  std::this_thread::sleep_for(IdlePause);
  if (run.stopRequested.load() != 0 || !reopenLink()) return false;
  goneShown = false;
  DotCount = 0;
  showStatus(run, TextWaiting);
  return true;
}

void refreshReceiving(const WorkerRun& run) {
  showStatus(run, receivingText(advanceDotCount()));
  EZ_DOEVENTS(10);
}

void logChunk(const std::string& chunk) {
  const std::string entry = chunk + "\r\n";
  const WriteOutcome outcome =
      writeWithin(RawLog.load(), entry.data(), entry.size(), OutputWriteWaitMs.load());
  if (RawLog.load() >= 0 && outcome != WriteOutcome::Written) ++LostChunkCount;
}

// A pipe or device that has stopped taking data is not waited for again
// line after line: the worker would stop reading the line meanwhile and the
// driver's queue would overflow. Each later line gets one try without a wait,
// and the first that goes in ends the stall.
bool saveRecordLine(const WorkerRun& run, const std::string& line) {
  if (run.fate.load() == WorkerAbandoned) return false;
  const int waitMs = OutputStalled.load() != 0 ? 0 : OutputWriteWaitMs.load();
  switch (writeWithin(OutputFile.load(), line.data(), line.size(), waitMs)) {
    case WriteOutcome::Written:
      OutputStalled = 0;
      return true;
    case WriteOutcome::TimedOut:
      OutputStalled = 1;
      return false;
    case WriteOutcome::Failed:
      return false;
  }
  return false;
}

// A line the file did not take is still shown and counted, and the count
// told at once; the stop sequence tells the user how many went missing.
void emitRecord(const WorkerRun& run, const std::string& line) {
  if (!saveRecordLine(run, line)) {
    ++LostRecordCount;
    showStatus(run, activityText());
  }
  EZ_SETRICHSEL(MainForm, IdIncomingView, -1, -1);
  EZ_SETRICHTEXT(MainForm, IdIncomingView, line, 0, 1);
  if (++RecordCount % ScrollPeriod == 0) EZ_SCROLLTO(MainForm, IdIncomingView, 1, -2);
}

void takeChunk(const WorkerRun& run, int32_t waiting) {
  const std::string chunk = receiveBytes(waiting, &run.stopRequested);
  logChunk(chunk);
  convertChunk(PendingText, chunk);
  for (const std::string& line : writeOutRecords(PendingText)) emitRecord(run, line);
}

void refreshAndTakeChunk(const WorkerRun& run, int32_t waiting, int64_t& stamp, LinePace& pace) {
  if (sinceMs(stamp) > RefreshAfterMs) {
    refreshReceiving(run);
    stamp = stampNow();
  }
  takeChunk(run, waiting);
  pace.took(waiting);
}

// Bytes that reached the line before Stop was pressed are the instrument's
// like any others: what waits in the driver and the read-ahead is logged and
// its records written before the worker leaves. Bytes keep coming from a
// long burst, so the pass ends when nothing waits or the limit is up. The
// nothing that one query reports after a line error is not the end: the
// bytes behind the error are still queued.
void takeLastBytes(const WorkerRun& run) {
  const int64_t start = nowMs();
  while (sinceMs(start) < LastPassLimitMs) {
    const int32_t waiting = bytesWaiting();
    if (waiting <= 0 && lineErrorJustReported()) continue;
    if (waiting <= 0) return;
    takeChunk(run, waiting);
  }
}

// What was written stays with the system until it puts it on the disk in
// its own time; a laptop whose battery dies loses it. Once a second while
// data comes is enough: a sync per record would tie the worker to the disk
// and the line's queue would fill meanwhile.
class DiskSync {
 public:
  void written() { unsynced_ = true; }
  // A sync that does not return holds only the worker: the stop sequence
  // waits for it a limited time, as for a write.
  void syncWhenDue(WorkerRun& run) {
    if (!unsynced_ || nowMs() - lastSync_ < SyncPeriodMs) return;
    run.syncingFiles = 1;
    syncTransferFile(OutputFile.load());
    syncTransferFile(RawLog.load());
    run.syncingFiles = 0;
    unsynced_ = false;
    lastSync_ = nowMs();
  }

 private:
  bool unsynced_ = false;
  int64_t lastSync_ = nowMs();
};

}  // namespace

// A compare-exchange, not a load and a store: a reset stored between them
// would be overwritten with the old count plus one.
int16_t advanceDotCount() {
  int16_t seen = DotCount.load();
  int16_t dots;
  do {
    dots = static_cast<int16_t>(seen + 1);
    if (dots > MostDots) dots = 1;
  } while (!DotCount.compare_exchange_weak(seen, dots));
  return dots;
}

void receiveWorker(WorkerRun& run) {
  int64_t stamp = stampNow();
  bool portGoneShown = false;
  LinePace pace;
  DiskSync disk;
  while (run.stopRequested.load() == 0) {
    disk.syncWhenDue(run);
    const int32_t waiting = bytesWaiting();
    if (waiting > 0) {
      refreshAndTakeChunk(run, waiting, stamp, pace);
      disk.written();
    } else if (linkDeviceGone()) {
      // The first data after it tells at once that it is coming in again.
      if (followGonePort(run, portGoneShown)) stamp = 0;
    } else {
      idlePause(run, stamp, pace);
    }
  }
  takeLastBytes(run);
}
