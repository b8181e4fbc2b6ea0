// The POSIX serial layer: port mapping, what counts as a port, the raw line,
// line settings, traffic and a device that goes away.
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "support/pty_instrument.h"
#include "transfer/serial_counters_posix.h"
#include "transfer/serial_port.h"

namespace {

using namespace std::chrono_literals;

// Polls the port until `count` bytes wait in its queue or 5 s pass.
bool waitQueued(SerialPort* port, uint32_t count) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  uint32_t waiting = 0;
  uint32_t errors = 0;
  while (serialPoll(port, waiting, errors) == SerialOk && waiting < count) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return waiting >= count;
}

std::string readAll(SerialPort* port, size_t size) {
  std::string bytes(size, '\0');
  size_t got = 0;
  EXPECT_EQ(serialRead(port, bytes.data(), size, got), SerialOk);
  bytes.resize(got);
  return bytes;
}

TEST(SerialDevicePath, DefaultTableMapsTheUsualLinuxDevices) {
  unsetenv("MORVANE_PORT_DIR");
  EXPECT_EQ(serialDevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(serialDevicePath(32), "/dev/ttyS31");
  EXPECT_EQ(serialDevicePath(33), "/dev/ttyUSB0");
  EXPECT_EQ(serialDevicePath(64), "/dev/ttyUSB31");
  EXPECT_EQ(serialDevicePath(65), "/dev/ttyACM0");
  EXPECT_EQ(serialDevicePath(96), "/dev/ttyACM31");
  EXPECT_EQ(serialDevicePath(97), "/dev/rfcomm0");
  EXPECT_EQ(serialDevicePath(100), "/dev/rfcomm3");
  EXPECT_EQ(serialDevicePath(0), "");
  EXPECT_EQ(serialDevicePath(101), "");
  EXPECT_EQ(serialDevicePath(-3), "");
}

TEST(SerialDevicePath, PortFolderIsTheWholeMapping) {
  PortFolder folder;
  folder.publish(12, "/nowhere/at/all");
  folder.publish(101, "/dev/null");
  EXPECT_EQ(serialDevicePath(12), folder.entryPath(12));
  EXPECT_EQ(serialDevicePath(1), "");
  EXPECT_EQ(serialDevicePath(33), "");
  EXPECT_EQ(serialDevicePath(101), "");
}

TEST(SerialOpen, ObjectsThatAreNotSerialPortsAreAbsent) {
  PortFolder folder;
  const std::string file = folder.path() + "/data.txt";
  std::ofstream(file) << "keep";
  const std::string dir = folder.path() + "/sub";
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  folder.publish(1, file);
  folder.publish(2, dir);
  folder.publish(3, "/dev/null");  // a character device, but no terminal
  folder.publish(4, folder.path() + "/missing");
  for (int n : {1, 2, 3, 4, 5}) {
    SCOPED_TRACE(n);
    SerialPort* port = reinterpret_cast<SerialPort*>(1);
    EXPECT_EQ(serialOpen(n, &port), SerialAbsent);
    EXPECT_EQ(port, nullptr);
    EXPECT_EQ(serialProbe(n), SerialAbsent);
  }
  std::ifstream in(file);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "keep");
}

TEST(SerialOpen, LineIsRawAndEarlierInputIsDropped) {
  PortFolder folder;
  PtyInstrument instrument(folder, 4);
  // The fresh line is canonical, so a complete line shows as queued.
  ASSERT_TRUE(instrument.send("early\n"));
  ASSERT_TRUE(instrument.waitQueuedForProgram(6));

  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(4, &port), SerialOk);
  EXPECT_EQ(instrument.queuedForProgram(), 0u);
  instrument.clearReceived();  // the cooked line echoed the early bytes

  // Bytes a cooked line would translate, swallow, echo or act on.
  const std::string special("\r\n\x11\x13\x03\x04\x7f\x85\xff\x00", 10);
  ASSERT_TRUE(instrument.send(special));
  ASSERT_TRUE(waitQueued(port, special.size()));
  EXPECT_EQ(readAll(port, 64), special);

  size_t written = 0;
  ASSERT_EQ(serialWrite(port, "\n\r", 2, written), SerialOk);
  EXPECT_EQ(written, 2u);
  ASSERT_TRUE(instrument.waitReceived(2));
  // Nothing of the instrument's bytes came back as echo, LF stayed LF.
  EXPECT_EQ(instrument.received(), "\n\r");

  size_t got = 1;
  char byte;
  EXPECT_EQ(serialRead(port, &byte, 1, got), SerialOk);
  EXPECT_EQ(got, 0u);
  serialClose(port);
}

TEST(SerialLine, RefusedSettingsLeaveTheLineAsItWas) {
  PortFolder folder;
  PtyInstrument instrument(folder, 2);
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(2, &port), SerialOk);

  SerialLine line;
  line.baudRate = 19200;
  line.stopBitsCode = 2;
  ASSERT_EQ(serialSetLine(port, line), SerialOk);

  SerialLine oneAndHalf = line;
  oneAndHalf.stopBitsCode = 1;
  EXPECT_EQ(serialSetLine(port, oneAndHalf), SerialRefused);
  SerialLine oddBaud = line;
  oddBaud.baudRate = 12345;
  EXPECT_EQ(serialSetLine(port, oddBaud), SerialRefused);
  // A pseudo-terminal keeps 8 data bits; the speed and stop bits that it
  // would have taken from the same request must not stay either.
  SerialLine sevenBits;
  sevenBits.baudRate = 9600;
  sevenBits.dataBits = 7;
  sevenBits.stopBitsCode = 0;
  EXPECT_EQ(serialSetLine(port, sevenBits), SerialRefused);

  SerialLine now;
  ASSERT_EQ(serialGetLine(port, now), SerialOk);
  EXPECT_EQ(now.baudRate, 19200);
  EXPECT_EQ(now.dataBits, 8);
  EXPECT_EQ(now.parity, ParityNone);
  EXPECT_EQ(now.stopBitsCode, 2);
  const termios tio = instrument.line();
  EXPECT_EQ(cfgetospeed(&tio), speed_t{B19200});
  EXPECT_NE(tio.c_cflag & CSTOPB, 0u);

  uint32_t rx = 0;
  uint32_t tx = 0;
  ASSERT_EQ(serialGetQueues(port, rx, tx), SerialOk);
  EXPECT_EQ(serialSetQueues(port, 1, 100000), SerialOk);
  uint32_t rxAfter = 0;
  uint32_t txAfter = 0;
  ASSERT_EQ(serialGetQueues(port, rxAfter, txAfter), SerialOk);
  EXPECT_EQ(rxAfter, rx);
  EXPECT_EQ(txAfter, tx);
  serialClose(port);
}

TEST(SerialTraffic, HungUpDeviceIsGoneForEveryOperation) {
  PortFolder folder;
  PtyInstrument instrument(folder, 6);
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(6, &port), SerialOk);
  ASSERT_TRUE(instrument.send("abc"));
  ASSERT_TRUE(waitQueued(port, 3));

  instrument.hangUp();
  uint32_t waiting = 9;
  uint32_t errors = 9;
  EXPECT_EQ(serialPoll(port, waiting, errors), SerialGone);
  EXPECT_EQ(waiting, 0u);
  char buffer[8];
  size_t got = 9;
  EXPECT_EQ(serialRead(port, buffer, sizeof buffer, got), SerialGone);
  EXPECT_EQ(got, 0u);
  size_t written = 9;
  EXPECT_EQ(serialWrite(port, "x", 1, written), SerialGone);
  EXPECT_EQ(written, 0u);
  serialClose(port);
  EXPECT_EQ(serialProbe(6), SerialAbsent);
}

TEST(LineErrors, RisingCountsBecomeFlags) {
  const SerialErrorCounts before{10, 20, 30, 40, 50};
  auto with = [&](uint32_t SerialErrorCounts::*field, uint32_t value) {
    SerialErrorCounts now = before;
    now.*field = value;
    return lineErrorsBetween(before, now);
  };
  EXPECT_EQ(lineErrorsBetween(before, before), 0u);
  EXPECT_EQ(with(&SerialErrorCounts::frame, 11), uint32_t{SerialErrFrame});
  EXPECT_EQ(with(&SerialErrorCounts::overrun, 25), uint32_t{SerialErrOverrun});
  EXPECT_EQ(with(&SerialErrorCounts::bufOverrun, 31), uint32_t{SerialErrRxOver});
  EXPECT_EQ(with(&SerialErrorCounts::parity, 41), uint32_t{SerialErrParity});
  EXPECT_EQ(with(&SerialErrorCounts::brk, 51), uint32_t{SerialErrBreak});
  EXPECT_EQ(lineErrorsBetween(before, {11, 21, 30, 40, 51}),
            uint32_t{SerialErrFrame | SerialErrOverrun | SerialErrBreak});
  // A counter that wrapped still rose; one that fell was restarted.
  EXPECT_EQ(lineErrorsBetween({0xFFFFFFFFu, 0, 0, 0, 0}, {2, 0, 0, 0, 0}),
            uint32_t{SerialErrFrame});
  EXPECT_EQ(with(&SerialErrorCounts::frame, 3), 0u);
}

std::atomic<uint32_t> fakeFrame{0};
std::atomic<uint32_t> fakeParity{0};
std::atomic<bool> fakeGone{false};

CountsResult fakeCounts(int, SerialErrorCounts& counts) {
  if (fakeGone) return CountsResult::Gone;
  counts = {fakeFrame.load(), 0, 0, fakeParity.load(), 0};
  return CountsResult::Ok;
}

TEST(LineErrors, PollReportsEachRiseOnceFromTheOpen) {
  PortFolder folder;
  PtyInstrument instrument(folder, 8);
  setErrorCountReader(fakeCounts);
  fakeFrame = 7;  // errors from before the open are not this program's
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(8, &port), SerialOk);
  uint32_t waiting = 0;
  uint32_t errors = 0;
  ASSERT_EQ(serialPoll(port, waiting, errors), SerialOk);
  EXPECT_EQ(errors, 0u);

  fakeFrame = 9;
  fakeParity = 1;
  ASSERT_EQ(serialPoll(port, waiting, errors), SerialOk);
  EXPECT_EQ(errors, uint32_t{SerialErrFrame | SerialErrParity});
  ASSERT_EQ(serialPoll(port, waiting, errors), SerialOk);
  EXPECT_EQ(errors, 0u);

  fakeGone = true;
  EXPECT_EQ(serialPoll(port, waiting, errors), SerialGone);
  serialClose(port);
  setErrorCountReader(nullptr);
}

TEST(LineErrors, DriverWithoutCountersReportsNone) {
  PortFolder folder;
  PtyInstrument instrument(folder, 9);
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(9, &port), SerialOk);
  ASSERT_TRUE(instrument.send("xyz"));
  ASSERT_TRUE(waitQueued(port, 3));
  uint32_t waiting = 0;
  uint32_t errors = 1;
  ASSERT_EQ(serialPoll(port, waiting, errors), SerialOk);
  EXPECT_EQ(waiting, 3u);
  EXPECT_EQ(errors, 0u);
  serialClose(port);
}

}  // namespace

// An earlier program left hardware and software flow control on: with no
// CTS line in the cable the opening bytes would never leave, and the
// instrument's own XOFF byte (0x13 is data here) would stop the line.
TEST(SerialOpen, FlowControlLeftOnByAnEarlierProgramIsSwitchedOff) {
  PortFolder folder;
  PtyInstrument instrument(folder, 4);
  const int earlier = open(instrument.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(earlier, 0);
  termios left = instrument.line();
  left.c_cflag |= CRTSCTS;
  left.c_iflag |= IXON | IXOFF | IXANY;
  ASSERT_EQ(tcsetattr(earlier, TCSANOW, &left), 0);
  close(earlier);
  ASSERT_TRUE(instrument.line().c_cflag & CRTSCTS) << "the pseudo-terminal dropped CRTSCTS";

  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(4, &port), SerialOk);
  const termios opened = instrument.line();
  EXPECT_FALSE(opened.c_cflag & CRTSCTS);
  EXPECT_FALSE(opened.c_iflag & (IXON | IXOFF | IXANY));
  serialClose(port);
}

// The instrument's side reads nothing, so the line's buffer fills: a write
// gives up within its limit with what the line took, and the close after it
// does not wait for the rest.
TEST(SerialTraffic, AWriteThatCannotLeaveEndsWithinItsLimit) {
  PortFolder folder;
  PtyInstrument instrument(folder, 4);
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(4, &port), SerialOk);
  const std::string flood(1 << 20, 'x');
  size_t written = 0;
  auto write = std::async(std::launch::async,
                          [&] { return serialWrite(port, flood.data(), flood.size(), written); });
  ASSERT_EQ(write.wait_for(10s), std::future_status::ready) << "the write never ended";
  EXPECT_EQ(write.get(), SerialOk);
  EXPECT_LT(written, flood.size());
  auto close = std::async(std::launch::async, [&] { serialClose(port); });
  EXPECT_EQ(close.wait_for(10s), std::future_status::ready) << "the close waited on the line";
}
