// The serial link when the line misbehaves: the device goes away with bytes
// already read ahead, and someone else takes the bytes the link was promised.
// Each receive must end rather than wait for bytes that will never come.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/pty_instrument.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_form.h"
#include "transfer/transfer_state.h"

namespace {

using namespace std::chrono_literals;

bool waitLinkHolds(int32_t count) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (bytesWaiting() != count) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// A second opener of the device reads away what waits in its queue, as a
// terminal program left running on the same port would. Root passes the
// link's exclusive flag; anyone else is refused, and nothing can be taken.
class ThiefTest : public ::testing::Test {
 protected:
  void SetUp() override {
    instrument = std::make_unique<PtyInstrument>(folder, 3);
    ASSERT_TRUE(openLink(3));
  }
  void TearDown() override {
    if (thief >= 0) close(thief);
    flushAndClose();
  }
  // Reads `count` bytes from the device behind the link's back.
  std::string steal(size_t count) {
    thief = open(instrument->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (thief < 0) return "";
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
      char buffer[64];
      const ssize_t n = read(thief, buffer, sizeof buffer);
      if (n > 0)
        got.append(buffer, static_cast<size_t>(n));
      else
        std::this_thread::sleep_for(1ms);
    }
    return got;
  }

  PortFolder folder;
  std::unique_ptr<PtyInstrument> instrument;
  int thief = -1;
};

}  // namespace

TEST(SerialLinkFaults, BytesReadAheadAreStillDeliveredAfterTheDeviceHasGone) {
  PortFolder folder;
  PtyInstrument instrument(folder, 4);
  ASSERT_TRUE(openLink(4));
  ASSERT_TRUE(instrument.send("1,Feet\r\n2,Fe"));
  ASSERT_TRUE(waitLinkHolds(12));
  // The refill takes everything queued; what was not asked for is read ahead.
  EXPECT_EQ(receiveBytes(3), "1,F");
  instrument.hangUp();
  EXPECT_EQ(bytesWaiting(), 9);
  EXPECT_EQ(receiveBytes(9), "eet\r\n2,Fe");
  EXPECT_EQ(bytesWaiting(), 0);
  EXPECT_EQ(receiveBytes(5), "");
  flushAndClose();
  EXPECT_FALSE(linkIsOpen());
}

TEST_F(ThiefTest, BytesTakenByAnotherReaderEndTheWaitWithoutProgress) {
  ASSERT_TRUE(instrument->send("promised"));
  ASSERT_TRUE(waitLinkHolds(8));
  if (steal(8) != "promised") GTEST_SKIP() << "the device refused a second opener (not root)";
  {
    CallWatchdog watchdog(20s);
    EXPECT_EQ(receiveBytes(8), "");
  }
  // The line still works for bytes that do come.
  close(thief);
  thief = -1;
  ASSERT_TRUE(instrument->send("later"));
  ASSERT_TRUE(waitLinkHolds(5));
  EXPECT_EQ(receiveBytes(5), "later");
}

TEST_F(ThiefTest, AStopRequestEndsTheWaitAtOnce) {
  ASSERT_TRUE(instrument->send("abcdef"));
  ASSERT_TRUE(waitLinkHolds(6));
  EXPECT_EQ(receiveBytes(2), "ab") << "the other four are read ahead";
  ASSERT_TRUE(instrument->send("ghij"));
  ASSERT_TRUE(waitLinkHolds(8));
  if (steal(4) != "ghij") GTEST_SKIP() << "the device refused a second opener (not root)";
  const std::atomic<int32_t> stopRequested{1};
  // Well inside the wait's own limit, so only the stop request can end it.
  CallWatchdog watchdog(2s);
  EXPECT_EQ(receiveBytes(8, &stopRequested), "cdef");
}
