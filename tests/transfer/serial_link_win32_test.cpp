// The serial link on the Win32 serial layer, against a pseudo-terminal that
// Wine presents as a COM port: the instrument's line settings, the opening
// bytes, the settle and the drain, waiting bytes taken exactly.
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/pty_line_win32.h"
#include "transfer/serial_link.h"

namespace {

constexpr int kPort = 47;

using Clock = std::chrono::steady_clock;

class SerialLinkWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!PtyLine::available(why)) GTEST_SKIP() << why;
    instrument = std::make_unique<PtyLine>(kPort);
  }
  void TearDown() override {
    if (linkIsOpen()) flushAndClose();
  }

  int32_t waitWaiting(int32_t count) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    int32_t waiting = 0;
    while ((waiting = bytesWaiting()) < count && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return waiting;
  }

  std::unique_ptr<PtyLine> instrument;
};

}  // namespace

TEST_F(SerialLinkWin32Test, OpensAtTheInstrumentsSettingsAndGreetsIt) {
  const auto start = Clock::now();
  ASSERT_TRUE(openLink(kPort));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(2000));
  EXPECT_EQ(instrument->received(), std::string("\x00\r\n", 3));
  const PtyLineSettings line = instrument->line();
  EXPECT_EQ(line.speed, 19200);
  EXPECT_EQ(line.dataBits, 8);
  EXPECT_FALSE(line.parity);
  EXPECT_FALSE(line.parityCheck);
  // One and a half stop bits were asked for; Wine's driver gives two.
  EXPECT_TRUE(line.twoStopBits);
  EXPECT_FALSE(line.canonical);
  EXPECT_FALSE(line.echo);
}

TEST_F(SerialLinkWin32Test, WhatArrivesWhileTheLineSettlesIsDiscarded) {
  std::thread early([&] {
    if (instrument->waitReceived(3)) instrument->send("noise during the settle");
  });
  const bool opened = openLink(kPort);
  early.join();
  ASSERT_TRUE(opened);
  EXPECT_EQ(bytesWaiting(), 0);
  EXPECT_EQ(instrument->queuedForProgram(), 0u);

  ASSERT_TRUE(instrument->send("1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\r\n"));
  ASSERT_EQ(waitWaiting(42), 42);
  EXPECT_EQ(receiveBytes(42), "1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\r\n");
  EXPECT_EQ(bytesWaiting(), 0);
}

TEST_F(SerialLinkWin32Test, ReceivesExactlyTheCountAskedAndKeepsTheRest) {
  ASSERT_TRUE(openLink(kPort));
  ASSERT_TRUE(instrument->send("abcdef"));
  ASSERT_EQ(waitWaiting(6), 6);
  EXPECT_EQ(receiveBytes(2), "ab");
  ASSERT_TRUE(instrument->send("gh"));
  ASSERT_EQ(waitWaiting(6), 6);
  EXPECT_EQ(receiveBytes(6), "cdefgh");
  EXPECT_EQ(receiveBytes(0), "");
}

TEST_F(SerialLinkWin32Test, CloseDrainsTheLineAndFreesThePort) {
  ASSERT_TRUE(openLink(kPort));
  std::thread late([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    instrument->send("bytes during the close pause");
  });
  flushAndClose();
  late.join();
  EXPECT_FALSE(linkIsOpen());
  EXPECT_EQ(instrument->queuedForProgram(), 0u);
  EXPECT_EQ(bytesWaiting(), 0);
  EXPECT_EQ(receiveBytes(5), "");

  instrument->clearReceived();
  ASSERT_TRUE(openLink(kPort));
  EXPECT_EQ(instrument->received(), std::string("\x00\r\n", 3));
}

TEST_F(SerialLinkWin32Test, AbsentPortDoesNotOpen) {
  const auto start = Clock::now();
  EXPECT_FALSE(openLink(kPort + 1));
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
  EXPECT_FALSE(linkIsOpen());
  EXPECT_EQ(instrument->received(), "");
}

TEST_F(SerialLinkWin32Test, AnUnpluggedInstrumentIsSeenGone) {
  ASSERT_TRUE(openLink(kPort));
  EXPECT_FALSE(linkDeviceGone());
  EXPECT_EQ(linkPortNumber(), kPort);
  ASSERT_TRUE(instrument->hangUp());
  for (int i = 0; i < 500 && !linkDeviceGone(); ++i) {
    EXPECT_EQ(bytesWaiting(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_TRUE(linkDeviceGone());
  EXPECT_EQ(bytesWaiting(), 0);
}
