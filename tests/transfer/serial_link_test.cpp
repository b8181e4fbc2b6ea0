// The serial link against a pseudo-terminal instrument. Every open costs the
// real 2 s settle and every close the real 1 s pause.
#include <sys/stat.h>
#include <termios.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "support/pty_instrument.h"
#include "transfer/serial_counters_posix.h"
#include "transfer/serial_link.h"

namespace {

using namespace std::chrono_literals;

const std::string kOpeningBytes("\x00\x0D\x0A", 3);

// Polls bytesWaiting until it reports `count` or 5 s pass.
bool waitLinkHolds(int32_t count) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (bytesWaiting() != count) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

std::string everyByteValue() {
  std::string bytes;
  for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
  return bytes;
}

TEST(SerialLink, OpensARawLineAt19200EightNoneOneAndSendsTheOpeningBytes) {
  PortFolder folder;
  PtyInstrument instrument(folder, 3);
  ASSERT_TRUE(openLink(3));
  EXPECT_TRUE(linkIsOpen());
  ASSERT_TRUE(instrument.waitReceived(3));
  EXPECT_EQ(instrument.received(), kOpeningBytes);

  // 1.5 stop bits are refused, so the one stop bit asked for before stays.
  const termios line = instrument.line();
  EXPECT_EQ(cfgetospeed(&line), speed_t{B19200});
  EXPECT_EQ(cfgetispeed(&line), speed_t{B19200});
  EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t{CS8});
  EXPECT_EQ(line.c_cflag & PARENB, 0u);
  EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(line.c_iflag & INPCK, 0u);

  const std::string all = everyByteValue();
  instrument.clearReceived();
  sendBytes(all);
  ASSERT_TRUE(instrument.waitReceived(all.size()));
  ASSERT_TRUE(instrument.send(all));
  ASSERT_TRUE(waitLinkHolds(256));
  EXPECT_EQ(receiveBytes(256), all);
  // Nothing the instrument sent was echoed back to it.
  EXPECT_EQ(instrument.received(), all);

  flushAndClose();
  EXPECT_FALSE(linkIsOpen());
}

TEST(SerialLink, PortThatCannotBeOpenedIsRefusedAtOnceWithNothingSent) {
  PortFolder folder;
  PtyInstrument flocked(folder, 4);
  PtyInstrument lockFiled(folder, 5);
  PortHolder flockHolder(flocked.devicePath(), HoldKind::Flock);
  std::unique_ptr<PortHolder> lockFileHolder;
  if (!PortHolder::lockFolder().empty()) {
    lockFileHolder = std::make_unique<PortHolder>(lockFiled.devicePath(), HoldKind::LockFile);
  }
  const std::string file = folder.path() + "/capture.bin";
  std::ofstream(file) << "x";
  folder.publish(6, file);
  const std::string dir = folder.path() + "/dir";
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  folder.publish(7, dir);

  for (int16_t n : {4, 5, 6, 7, 8}) {
    if (n == 5 && !lockFileHolder) continue;
    SCOPED_TRACE(n);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(openLink(n));
    // No opening bytes, no settle: the refusal does not wait out the 2 s.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_FALSE(linkIsOpen());
  }
  EXPECT_FALSE(flocked.waitReceived(1, 200ms));
  EXPECT_FALSE(lockFiled.waitReceived(1, 50ms));
  std::ifstream in(file, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "x");
}

TEST(SerialLink, ClosedLinkLeavesThePortAlone) {
  PortFolder folder;
  PtyInstrument instrument(folder, 9);
  // The line nobody configured is canonical and echoes: a whole line counts.
  ASSERT_TRUE(instrument.send("zz\n"));
  ASSERT_TRUE(instrument.waitQueuedForProgram(3));
  instrument.clearReceived();
  EXPECT_FALSE(linkIsOpen());
  EXPECT_EQ(bytesWaiting(), 0);
  EXPECT_EQ(receiveBytes(3), "");
  sendBytes("hello");
  flushAndClose();
  EXPECT_FALSE(linkIsOpen());
  EXPECT_EQ(instrument.queuedForProgram(), 3u);
  EXPECT_FALSE(instrument.waitReceived(1, 100ms));
}

TEST(SerialLink, BytesBeyondTheCountWaitInTheReadAheadBuffer) {
  PortFolder folder;
  PtyInstrument instrument(folder, 2);
  ASSERT_TRUE(openLink(2));
  ASSERT_TRUE(instrument.send("ABCDE"));
  ASSERT_TRUE(waitLinkHolds(5));
  const int32_t asked = bytesWaiting();
  // More arrive between the question and the receive.
  ASSERT_TRUE(instrument.send("FGHIJKL"));
  ASSERT_TRUE(instrument.waitQueuedForProgram(12));

  EXPECT_EQ(receiveBytes(asked), "ABCDE");
  EXPECT_EQ(instrument.queuedForProgram(), 0u);
  // Asserted: receiving bytes that are not there would wait for them.
  ASSERT_EQ(bytesWaiting(), 7);
  EXPECT_EQ(receiveBytes(3), "FGH");
  ASSERT_EQ(bytesWaiting(), 4);
  EXPECT_EQ(receiveBytes(4), "IJKL");
  EXPECT_EQ(bytesWaiting(), 0);

  // Larger than the buffer: taken in several reads, in order.
  std::string big;
  for (int i = 0; i < 1500; ++i) big.push_back(static_cast<char>('a' + i % 26));
  ASSERT_TRUE(instrument.send(big));
  ASSERT_TRUE(waitLinkHolds(1500));
  EXPECT_EQ(receiveBytes(1500), big);
  EXPECT_EQ(bytesWaiting(), 0);
  flushAndClose();
}

std::atomic<uint32_t> fakeFrame{0};
std::atomic<uint32_t> fakeOverrun{0};
std::atomic<uint32_t> fakeBufOverrun{0};
std::atomic<uint32_t> fakeParity{0};
std::atomic<uint32_t> fakeBreak{0};

CountsResult fakeCounts(int, SerialErrorCounts& counts) {
  counts = {fakeFrame, fakeOverrun, fakeBufOverrun, fakeParity, fakeBreak};
  return CountsResult::Ok;
}

TEST(SerialLink, LineErrorReportsNothingOnceThenTheWaitingBytes) {
  PortFolder folder;
  PtyInstrument instrument(folder, 12);
  setErrorCountReader(fakeCounts);
  ASSERT_TRUE(openLink(12));
  ASSERT_TRUE(instrument.send("12345"));
  ASSERT_TRUE(waitLinkHolds(5));

  for (std::atomic<uint32_t>* counted : {&fakeFrame, &fakeOverrun, &fakeBufOverrun}) {
    ++*counted;
    EXPECT_EQ(bytesWaiting(), 0);
    EXPECT_EQ(bytesWaiting(), 5);
  }
  for (std::atomic<uint32_t>* ignored : {&fakeParity, &fakeBreak}) {
    ++*ignored;
    EXPECT_EQ(bytesWaiting(), 5);
  }
  EXPECT_EQ(receiveBytes(5), "12345");
  flushAndClose();
  setErrorCountReader(nullptr);
}

TEST(SerialLink, OpeningAnOpenLinkIsRefusedAndLeavesItAlone) {
  PortFolder folder;
  PtyInstrument first(folder, 20);
  PtyInstrument second(folder, 21);
  ASSERT_TRUE(openLink(20));
  ASSERT_TRUE(first.waitReceived(3));

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(openLink(20));
  EXPECT_FALSE(openLink(21));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_TRUE(linkIsOpen());
  EXPECT_FALSE(second.waitReceived(1, 200ms));
  EXPECT_EQ(first.received(), kOpeningBytes);

  ASSERT_TRUE(first.send("xy"));
  ASSERT_TRUE(waitLinkHolds(2));
  EXPECT_EQ(receiveBytes(2), "xy");
  flushAndClose();
  EXPECT_FALSE(linkIsOpen());
}

}  // namespace
