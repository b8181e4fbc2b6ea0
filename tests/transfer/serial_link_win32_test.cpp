// The serial link on the Win32 serial layer, against a pseudo-terminal that
// Wine presents as a COM port: the instrument's line settings, the opening
// bytes, the settle and the drain, waiting bytes taken exactly.
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/pty_line_win32.h"
#include "transfer/serial_link.h"
#include "transfer/serial_port_win32.h"

namespace {

constexpr int kPort = 47;

using Clock = std::chrono::steady_clock;

// Drivers as crews meet them, which Wine's is not: one answers error 87 to
// every line state and time-out; one hands out a state whose XON and XOFF
// characters are equal (both 0), which Windows refuses whenever it is
// written back. `Written` is the last state such a driver took.
DCB Written{};

BOOL WINAPI refuseEveryState(HANDLE, LPDCB) {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

BOOL WINAPI refuseTimeouts(HANDLE, LPCOMMTIMEOUTS) {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

BOOL WINAPI stateWithEqualXonXoff(HANDLE handle, LPDCB dcb) {
  if (!GetCommState(handle, dcb)) return FALSE;
  dcb->XonChar = 0;
  dcb->XoffChar = 0;
  return TRUE;
}

BOOL WINAPI refuseEqualXonXoff(HANDLE handle, LPDCB dcb) {
  if (dcb->XonChar == dcb->XoffChar) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Written = *dcb;
  return SetCommState(handle, dcb);
}

BOOL WINAPI readFailsNotFound(HANDLE, LPVOID, DWORD, LPDWORD read, LPOVERLAPPED) {
  *read = 0;
  SetLastError(ERROR_FILE_NOT_FOUND);
  return FALSE;
}

class SerialLinkWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!PtyLine::available(why)) GTEST_SKIP() << why;
    instrument = std::make_unique<PtyLine>(kPort);
  }
  void TearDown() override {
    if (linkIsOpen()) flushAndClose();
    Comm = WindowsComm;
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

TEST_F(SerialLinkWin32Test, ADriverThatRefusesEverySettingStillOpensTheLink) {
  Comm.setCommState = refuseEveryState;
  Comm.setCommTimeouts = refuseTimeouts;
  ASSERT_TRUE(openLink(kPort));
  // The opening bytes went out, through the line as the driver keeps it
  // (Wine's untouched pseudo-terminal turns LF into CR LF).
  EXPECT_EQ(instrument->received().substr(0, 2), std::string("\x00\r", 2));
}

TEST_F(SerialLinkWin32Test, EqualXonAndXoffCharactersAreMadeDistinct) {
  Comm.getCommState = stateWithEqualXonXoff;
  Comm.setCommState = refuseEqualXonXoff;
  ASSERT_TRUE(openLink(kPort));
  EXPECT_EQ(instrument->line().speed, 19200);
  EXPECT_EQ(Written.XonChar, 0x11);
  EXPECT_EQ(Written.XoffChar, 0x13);
  EXPECT_FALSE(Written.fOutX);
  EXPECT_FALSE(Written.fInX);
}

TEST_F(SerialLinkWin32Test, AReadThatFailsIsTheDeviceGone) {
  ASSERT_TRUE(openLink(kPort));
  ASSERT_TRUE(instrument->send("abc"));
  ASSERT_EQ(waitWaiting(3), 3);
  Comm.readFile = readFailsNotFound;
  EXPECT_EQ(receiveBytes(3), "");
  EXPECT_TRUE(linkDeviceGone());
}

// The driver keeps answering "nothing queued" for an adapter pulled out;
// the system's device list no longer names the port.
TEST_F(SerialLinkWin32Test, AQuietPortGoneFromTheDeviceListIsTheDeviceGone) {
  ASSERT_TRUE(openLink(kPort));
  EXPECT_EQ(bytesWaiting(), 0);
  EXPECT_FALSE(linkDeviceGone());
  instrument->leaveDeviceMap();
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (!linkDeviceGone() && Clock::now() < deadline) {
    EXPECT_EQ(bytesWaiting(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(linkDeviceGone());
}
