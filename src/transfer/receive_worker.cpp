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

constexpr auto IdlePause = std::chrono::milliseconds(100);
constexpr int64_t RefreshAfterMs = 1000;
constexpr int64_t WaitingAfterMs = 3000;
constexpr int64_t LastPassLimitMs = 1000;
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

void showStatus(const std::string& text) {
  EZ_SETSBTEXT(MainForm, IdStatusBar, StatusOverall, text, "P");
}

// Nothing waiting: an idle line costs ten polls a second, but the first
// bytes end the pause, so a line that delivers faster than the pause is
// taken as fast as it comes instead of being held to one queue a pause.
// Shows the waiting text once per pause in the data: the counter at 0 says
// it is already shown.
void idlePause(int64_t stamp) {
  waitForBytes(IdlePause);
  if (sinceMs(stamp) <= WaitingAfterMs) return;
  int16_t seen = DotCount.load();
  while (seen != 0) {
    if (DotCount.compare_exchange_weak(seen, 0)) {
      showStatus(TextWaiting);
      return;
    }
  }
}

// Waiting for data would be untrue once the instrument is unplugged: nothing
// can arrive on this opening of the port again, only Stop helps.
void showPortGone() {
  showStatus("Port COM " + std::to_string(linkPortNumber()) + " disconnected - press Stop");
}

void refreshReceiving() {
  const int16_t dots = advanceDotCount();
  std::string text = TextReceiving;
  for (int16_t i = 0; i < dots; ++i) text += " .";
  showStatus(text);
  EZ_DOEVENTS(10);
}

bool abandoned() {
  return WorkerFate.load() == WorkerAbandoned;
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
bool saveRecordLine(const std::string& line) {
  if (abandoned()) return false;
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

// A line the file did not take is still shown and counted; the stop
// sequence tells the user how many went missing.
void emitRecord(const std::string& line) {
  if (!saveRecordLine(line)) ++LostRecordCount;
  EZ_SETRICHSEL(MainForm, IdIncomingView, -1, -1);
  EZ_SETRICHTEXT(MainForm, IdIncomingView, line, 0, 1);
  if (++RecordCount % ScrollPeriod == 0) EZ_SCROLLTO(MainForm, IdIncomingView, 1, -2);
}

void takeChunk(int32_t waiting) {
  const std::string chunk = receiveBytes(waiting);
  logChunk(chunk);
  convertChunk(PendingText, chunk);
  for (const std::string& line : writeOutRecords(PendingText)) emitRecord(line);
}

void refreshAndTakeChunk(int32_t waiting, int64_t& stamp) {
  if (sinceMs(stamp) > RefreshAfterMs) {
    refreshReceiving();
    stamp = stampNow();
  }
  takeChunk(waiting);
}

// Bytes that reached the line before Stop was pressed are the instrument's
// like any others: what waits in the driver and the read-ahead is logged and
// its records written before the worker leaves. Bytes keep coming from a
// long burst, so the pass ends when nothing waits or the limit is up.
void takeLastBytes() {
  const int64_t start = nowMs();
  while (sinceMs(start) < LastPassLimitMs) {
    const int32_t waiting = bytesWaiting();
    if (waiting <= 0) return;
    takeChunk(waiting);
  }
}

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

void receiveWorker() {
  int64_t stamp = stampNow();
  bool portGoneShown = false;
  while (StopRequested.load() == 0) {
    const int32_t waiting = bytesWaiting();
    if (waiting > 0) {
      refreshAndTakeChunk(waiting, stamp);
    } else if (linkDeviceGone()) {
      if (!portGoneShown) showPortGone();
      portGoneShown = true;
      std::this_thread::sleep_for(IdlePause);
    } else {
      idlePause(stamp);
    }
  }
  takeLastBytes();
}
