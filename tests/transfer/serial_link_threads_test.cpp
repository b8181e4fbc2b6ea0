// The serial link while the instrument acts on its own threads: bytes that
// arrive during the link's pauses, a paced stream taken by a worker thread,
// an instrument that goes away while bytes are owed, and the idle wait
// that bytes end.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "support/pty_instrument.h"
#include "transfer/serial_link.h"

namespace {

using namespace std::chrono_literals;

// Ends the test program, failed, when a call that must return does not.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit)
      : thread_([this, limit] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (!doneChanged_.wait_for(lock, limit, [this] { return done_; })) {
            std::fprintf(stderr, "watchdog: the call under test did not return\n");
            std::_Exit(1);
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    doneChanged_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable doneChanged_;
  bool done_ = false;
  std::thread thread_;
};

bool waitLinkHolds(int32_t count) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (bytesWaiting() != count) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

TEST(SerialLinkThreads, BytesSentDuringTheSettleAreDiscarded) {
  PortFolder folder;
  PtyInstrument instrument(folder, 3);
  // The instrument starts talking as soon as it hears the opening bytes.
  instrument.answerInBackground(3, "power-on banner\r\n");
  instrument.sendInBackground(std::string(600, 'n'), Pace::LineRate, 200ms);
  ASSERT_TRUE(openLink(3));
  ASSERT_TRUE(instrument.waitBackground());

  EXPECT_EQ(bytesWaiting(), 0);
  EXPECT_EQ(instrument.queuedForProgram(), 0u);
  ASSERT_TRUE(instrument.send("first record"));
  ASSERT_TRUE(waitLinkHolds(12));
  EXPECT_EQ(receiveBytes(12), "first record");
  flushAndClose();
}

TEST(SerialLinkThreads, BytesSentDuringTheClosePauseAreDiscarded) {
  PortFolder folder;
  PtyInstrument instrument(folder, 4);
  ASSERT_TRUE(openLink(4));
  instrument.sendInBackground("last words", Pace::Burst, 300ms);
  flushAndClose();
  ASSERT_TRUE(instrument.waitBackground());
  EXPECT_FALSE(linkIsOpen());
  // Left undrained, they would still wait in the port's queue.
  EXPECT_EQ(instrument.queuedForProgram(), 0u);
}

TEST(SerialLinkThreads, WorkerTakesAPacedStreamWholeAndInOrder) {
  PortFolder folder;
  PtyInstrument instrument(folder, 5);
  std::string stream;
  for (int i = 0; i < 1200; ++i) stream.push_back(static_cast<char>(i * 7));
  ASSERT_TRUE(openLink(5));
  instrument.sendInBackground(stream, Pace::LineRate);

  // Asks as the receive worker does: how many wait, then exactly those.
  std::string got;
  int pieces = 0;
  std::thread worker([&] {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (got.size() < stream.size() && std::chrono::steady_clock::now() < deadline) {
      const int32_t waiting = bytesWaiting();
      if (waiting > 0) {
        got += receiveBytes(waiting);
        ++pieces;
      } else {
        std::this_thread::sleep_for(2ms);
      }
    }
  });
  worker.join();
  ASSERT_TRUE(instrument.waitBackground());
  EXPECT_EQ(got, stream);
  // At the line rate the stream trickles in rather than arriving at once.
  EXPECT_GT(pieces, 20);
  flushAndClose();
}

TEST(SerialLinkThreads, HangUpWhileBytesAreOwedEndsTheReceive) {
  PortFolder folder;
  PtyInstrument instrument(folder, 6);
  ASSERT_TRUE(openLink(6));
  ASSERT_TRUE(instrument.send("abc"));
  ASSERT_TRUE(waitLinkHolds(3));
  instrument.hangUpInBackground(300ms);
  {
    Watchdog watchdog(20s);
    EXPECT_EQ(receiveBytes(10), "abc");
    EXPECT_EQ(bytesWaiting(), 0);
    EXPECT_EQ(receiveBytes(1), "");
    flushAndClose();
  }
  EXPECT_FALSE(linkIsOpen());
  ASSERT_TRUE(instrument.waitBackground());
}

// The worker's idle wait: the instrument's bytes end it, whatever its
// limit, so that a line faster than the idle pause is never held back by it.
TEST(SerialLinkThreads, IdleWaitEndsWhenBytesArrive) {
  PortFolder folder;
  PtyInstrument instrument(folder, 7);
  ASSERT_TRUE(openLink(7));
  instrument.sendInBackground("1,2.5,Feet\r\n", Pace::Burst, 200ms);
  {
    Watchdog watchdog(30s);
    waitForBytes(std::chrono::hours(1));
  }
  ASSERT_TRUE(instrument.waitBackground());
  EXPECT_TRUE(waitLinkHolds(12));

  // Bytes already taken from the driver but not yet handed over count too.
  EXPECT_EQ(receiveBytes(4), "1,2.");
  EXPECT_EQ(instrument.queuedForProgram(), 0u);
  {
    Watchdog watchdog(30s);
    waitForBytes(std::chrono::hours(1));
  }
  EXPECT_EQ(receiveBytes(bytesWaiting()), "5,Feet\r\n");
  flushAndClose();
}

TEST(SerialLinkThreads, IdleWaitOnAGoneOrClosedLineEndsAtItsLimit) {
  PortFolder folder;
  PtyInstrument instrument(folder, 8);
  ASSERT_TRUE(openLink(8));
  instrument.hangUp();
  {
    Watchdog watchdog(30s);
    waitForBytes(200ms);
    EXPECT_EQ(bytesWaiting(), 0);
    flushAndClose();
    waitForBytes(200ms);
  }
  EXPECT_FALSE(linkIsOpen());
}

}  // namespace
