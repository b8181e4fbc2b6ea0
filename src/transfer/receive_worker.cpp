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

// Shows the waiting text once per pause in the data: the counter at 0 says
// it is already shown.
void idlePause(int64_t stamp) {
  std::this_thread::sleep_for(IdlePause);
  if (sinceMs(stamp) <= WaitingAfterMs) return;
  int16_t seen = DotCount.load();
  while (seen != 0) {
    if (DotCount.compare_exchange_weak(seen, 0)) {
      showStatus(TextWaiting);
      return;
    }
  }
}

void refreshReceiving() {
  const int16_t dots = advanceDotCount();
  std::string text = TextReceiving;
  for (int16_t i = 0; i < dots; ++i) text += " .";
  showStatus(text);
  EZ_DOEVENTS(10);
}

void logChunk(const std::string& chunk) {
  const std::string entry = chunk + "\r\n";
  writeWhole(RawLog.load(), entry.data(), entry.size());
}

// A line the file did not take is still shown and counted; the stop
// sequence tells the user how many went missing.
void emitRecord(const std::string& line) {
  if (!writeWhole(OutputFile.load(), line.data(), line.size())) ++LostRecordCount;
  EZ_SETRICHSEL(MainForm, IdIncomingView, -1, -1);
  EZ_SETRICHTEXT(MainForm, IdIncomingView, line, 0, 1);
  if (++RecordCount % ScrollPeriod == 0) EZ_SCROLLTO(MainForm, IdIncomingView, 1, -2);
}

void takeChunk(int32_t waiting, int64_t& stamp) {
  if (sinceMs(stamp) > RefreshAfterMs) {
    refreshReceiving();
    stamp = stampNow();
  }
  const std::string chunk = receiveBytes(waiting);
  logChunk(chunk);
  convertChunk(PendingText, chunk);
  for (const std::string& line : writeOutRecords(PendingText)) emitRecord(line);
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
  while (StopRequested.load() == 0) {
    const int32_t waiting = bytesWaiting();
    if (waiting <= 0) {
      idlePause(stamp);
    } else {
      takeChunk(waiting, stamp);
    }
  }
}
