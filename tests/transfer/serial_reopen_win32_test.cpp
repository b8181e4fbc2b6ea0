// An instrument's port that went away and is back, through the Win32 serial
// layer under Wine (a pseudo-terminal as the instrument): the link opens it
// again at once and keeps what the instrument sent before it was opened.
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/pty_line_win32.h"
#include "transfer/serial_link.h"

namespace {

constexpr int kPort = 48;

template <typename Done>
bool within(int ms, Done done) {
  for (int waited = 0; waited < ms; waited += 10) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace

TEST(SerialReopenWin32, AnInstrumentBackIsOpenedAgainKeepingWhatItSent) {
  std::string why;
  if (!PtyLine::available(why)) GTEST_SKIP() << why;
  auto instrument = std::make_unique<PtyLine>(kPort);
  ASSERT_TRUE(openLink(kPort));
  ASSERT_TRUE(instrument->hangUp());
  ASSERT_TRUE(within(3000, [] { return bytesWaiting() == 0 && linkDeviceGone(); }));
  instrument.reset();

  // Back, and sending before the program has opened it again.
  instrument = std::make_unique<PtyLine>(kPort);
  const std::string record = "1,12/01/26,10:00:04,4.5,1.20,0.45,0,Feet";
  ASSERT_TRUE(instrument->send(record + "\r\n"));
  EXPECT_TRUE(within(5000, [] { return reopenLink(); }));
  EXPECT_FALSE(linkDeviceGone());
  EXPECT_TRUE(within(3000, [&] { return bytesWaiting() >= static_cast<int32_t>(record.size()); }));
  // (The line translated the record's ends until the program set it up.)
  EXPECT_EQ(receiveBytes(static_cast<int32_t>(record.size())), record);
  EXPECT_EQ(instrument->received().find('\0'), std::string::npos) << "the opening bytes were sent";
  flushAndClose();
}
