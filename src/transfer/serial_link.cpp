// The serial link to the instrument, over the platform's serial layer.
//
// openLink and flushAndClose run on the window's thread, bytesWaiting,
// receiveBytes and reopenLink on the receive worker while a transfer runs;
// the transfer's stop joins the worker before it closes the link, so the
// calls never overlap.
#include "transfer/serial_link.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <limits>
#include <thread>

#include "ports/port_names.h"
#include "ports/port_state.h"
#include "transfer/serial_port.h"

namespace {

constexpr int kBaudRate = 19200;
constexpr int kOneStopBit = 0;
constexpr int kOneAndHalfStopBits = 1;
constexpr uint32_t kQueueSize = 4096;
constexpr size_t kReadAheadSize = 512;
// The line errors after which one bytesWaiting reports nothing: receive
// overrun, hardware overrun, framing, transmit queue full, I/O error.
constexpr uint32_t kCountedErrors =
    SerialErrRxOver | SerialErrOverrun | SerialErrFrame | SerialErrTxFull | SerialErrIo;
static_assert(kCountedErrors == 0x050B);
constexpr auto kSettlePause = std::chrono::milliseconds(2000);
constexpr auto kClosePause = std::chrono::milliseconds(1000);
constexpr auto kPollStep = std::chrono::milliseconds(1);
// Bytes owed but not arriving: someone else read them (root passes the
// exclusive flag), or the driver keeps failing the query. Past this long
// without a byte the receive gives back what it has.
constexpr auto kOwedBytesLimit = std::chrono::milliseconds(3000);

struct SerialLink {
  // Atomic so that linkIsOpen may be asked from any thread.
  std::atomic<SerialPort*> port{nullptr};
  // Bytes taken from the driver but not yet handed to a caller, oldest first.
  unsigned char readAhead[kReadAheadSize] = {};
  size_t readAheadCount = 0;
  // Set by the polling thread, read by anyone.
  std::atomic<bool> deviceGone{false};
  // Set by each bytesWaiting: whether it reported 0 for a line error.
  std::atomic<bool> lineErrorReported{false};
  std::atomic<int16_t> portNumber{0};
  // What finds the device again once it is back (see portIdentity). Set by
  // openLink before the worker starts, read by the worker.
  std::string identity;
};

SerialLink theLink;

void pause(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

// Reads the whole line state, lets `change` alter it and writes it back; a
// state the driver refuses leaves the previous one in force.
template <typename Change>
void configureStep(SerialPort* port, Change change) {
  SerialLine line;
  if (serialGetLine(port, line) != SerialOk) return;
  change(line);
  serialSetLine(port, line);
}

void configureLine(SerialPort* port) {
  configureStep(port, [](SerialLine& line) { line.baudRate = kBaudRate; });
  configureStep(port, [](SerialLine& line) {
    line.dataBits = 8;
    line.stopBitsCode = kOneStopBit;
    line.parityCheck = false;
    line.parity = ParityNone;
  });
  configureStep(port, [](SerialLine& line) { line.parityCheck = false; });
  configureStep(port, [](SerialLine& line) { line.stopBitsCode = kOneAndHalfStopBits; });
}

void configureQueues(SerialPort* port) {
  uint32_t rx = 0;
  uint32_t tx = 0;
  if (serialGetQueues(port, rx, tx) == SerialOk) serialSetQueues(port, rx, kQueueSize);
  if (serialGetQueues(port, rx, tx) == SerialOk) serialSetQueues(port, kQueueSize, tx);
}

void sendOpeningBytes() {
  sendBytes(std::string("\x00\x0D\x0A", 3));
}

// Throws away what is waiting now.
void drain() {
  if (bytesWaiting() > 0) receiveBytes(bytesWaiting());
}

// Moves up to `owed` bytes from the front of the read-ahead buffer to `out`.
void takeFromReadAhead(std::string& out, size_t owed) {
  const size_t taken = std::min(owed, theLink.readAheadCount);
  out.append(reinterpret_cast<const char*>(theLink.readAhead), taken);
  std::memmove(theLink.readAhead, theLink.readAhead + taken, theLink.readAheadCount - taken);
  theLink.readAheadCount -= taken;
}

// Waits, in 1 ms steps, until the driver holds at least one byte. False when
// the device has gone, when a stop was asked for (the window waits on it) or
// when nothing came within the limit: the bytes may never come.
bool waitForQueuedBytes(SerialPort* port, uint32_t& queued, const std::atomic<int32_t>* stop) {
  const auto deadline = std::chrono::steady_clock::now() + kOwedBytesLimit;
  for (;;) {
    uint32_t errors = 0;
    const SerialStatus status = serialPoll(port, queued, errors);
    if (status == SerialGone) {
      theLink.deviceGone = true;
      return false;
    }
    if (status == SerialOk && queued > 0) return true;
    if (stop && stop->load() != 0) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    pause(kPollStep);
  }
}

enum class Refill { Read, NothingRead, Failed };

Refill refillReadAhead(SerialPort* port, uint32_t queued) {
  const size_t room = kReadAheadSize - theLink.readAheadCount;
  size_t got = 0;
  const SerialStatus status = serialRead(port, theLink.readAhead + theLink.readAheadCount,
                                         std::min<size_t>(room, queued), got);
  // A device gone in the middle of a read has delivered nothing more.
  if (status == SerialGone) theLink.deviceGone = true;
  if (status != SerialOk && status != SerialGone) return Refill::Failed;
  if (got == 0) return Refill::NothingRead;
  theLink.readAheadCount += got;
  return Refill::Read;
}

// Whether bytes wait now, or arrive within `limit`.
bool bytesArriveWithin(SerialPort* port, std::chrono::milliseconds limit) {
  if (theLink.readAheadCount == 0) {
    bool ready = false;
    if (serialWaitInput(port, static_cast<int>(limit.count()), ready) != SerialOk || !ready) {
      return false;
    }
  }
  return bytesWaiting() > 0;
}

// Where the link's device is now: an adapter with an identity wherever the
// system put it back, any other at its COM number. 0 while it is not there.
int16_t portNumberNow() {
  if (theLink.identity.empty()) return theLink.portNumber.load();
  for (int16_t n = 1; n <= MaxPorts; ++n) {
    if (portIdentity(n) == theLink.identity) return n;
  }
  return 0;
}

// The opening of a device that has gone: given back at once, since the
// system gives a USB adapter plugged in again while its old device is still
// held another name.
void releaseGonePort() {
  SerialPort* gone = theLink.port.exchange(nullptr);
  if (gone) serialClose(gone);
}

}  // namespace

bool openLink(int16_t portNumber) {
  if (theLink.port.load()) return false;
  SerialPort* port = nullptr;
  if (serialOpen(portNumber, &port) != SerialOk) return false;
  theLink.readAheadCount = 0;
  theLink.deviceGone = false;
  theLink.portNumber = portNumber;
  theLink.identity = portIdentity(portNumber);
  theLink.port.store(port);
  configureLine(port);
  configureQueues(port);
  sendOpeningBytes();
  pause(kSettlePause);
  drain();
  return true;
}

bool reopenLink() {
  if (!theLink.deviceGone.load()) return false;
  releaseGonePort();
  const int16_t number = portNumberNow();
  SerialPort* port = nullptr;
  if (number == 0 || serialReopen(number, &port) != SerialOk) return false;
  theLink.portNumber = number;
  configureLine(port);
  configureQueues(port);
  theLink.port.store(port);
  theLink.deviceGone = false;
  return true;
}

bool lineErrorJustReported() {
  return theLink.lineErrorReported.load();
}

int32_t bytesWaiting() {
  SerialPort* port = theLink.port.load();
  if (!port) return 0;
  uint32_t queued = 0;
  uint32_t errors = 0;
  theLink.lineErrorReported = false;
  // Bytes already read ahead are received even when the device has gone:
  // they are often the end of the last record.
  const SerialStatus status = serialPoll(port, queued, errors);
  if (status == SerialGone) theLink.deviceGone = true;
  if (status != SerialOk) return static_cast<int32_t>(theLink.readAheadCount);
  if (errors & kCountedErrors) {
    theLink.lineErrorReported = true;
    return 0;
  }
  const uint64_t total = uint64_t{queued} + theLink.readAheadCount;
  return static_cast<int32_t>(std::min<uint64_t>(total, std::numeric_limits<int32_t>::max()));
}

void waitForBytes(std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  SerialPort* port = theLink.port.load();
  if (port && bytesArriveWithin(port, limit)) return;
  // A line that has gone, or a device that says it is readable and then
  // has nothing to give, would answer every wait at once: it gets the rest
  // of the plain pause, so that a caller waiting in a loop never spins.
  std::this_thread::sleep_until(until);
}

std::string receiveBytes(int32_t count, const std::atomic<int32_t>* stop) {
  SerialPort* port = theLink.port.load();
  std::string gathered;
  if (!port || count < 1) return gathered;
  const size_t wanted = static_cast<size_t>(count);
  takeFromReadAhead(gathered, wanted);
  while (gathered.size() < wanted) {
    uint32_t queued = 0;
    if (!waitForQueuedBytes(port, queued, stop)) return gathered;
    switch (refillReadAhead(port, queued)) {
      // Bytes gathered before a failed read are the instrument's all the same.
      case Refill::Failed:
      case Refill::NothingRead:
        return gathered;
      case Refill::Read:
        break;
    }
    takeFromReadAhead(gathered, wanted - gathered.size());
  }
  return gathered;
}

void sendBytes(const std::string& bytes) {
  SerialPort* port = theLink.port.load();
  if (!port) return;
  size_t written = 0;
  serialWrite(port, bytes.data(), bytes.size(), written);
}

void flushAndClose() {
  pause(kClosePause);
  theLink.deviceGone = false;
  SerialPort* port = theLink.port.load();
  if (!port) return;
  drain();
  // Closed before the link reads as closed: a worker that was left to close
  // it itself may run beside a new Start, which must find the port free.
  theLink.readAheadCount = 0;
  serialClose(port);
  theLink.port.store(nullptr);
}

bool linkIsOpen() {
  return theLink.port.load() != nullptr;
}

bool linkDeviceGone() {
  return theLink.deviceGone.load();
}

int16_t linkPortNumber() {
  return theLink.portNumber.load();
}
