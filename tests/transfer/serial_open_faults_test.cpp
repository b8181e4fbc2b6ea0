// Opening a port whose raw setup fails after the port was taken: nothing of
// the hold may stay behind, or the port would look held by another program
// (and, to everyone but root, be refused) until the instrument is unplugged.
//
// The failure comes from the C library's tcsetattr, which this program
// replaces with one that can be told to fail once; everything else is the
// real pseudo-terminal.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include <gtest/gtest.h>

#include "support/pty_instrument.h"
#include "transfer/serial_link.h"
#include "transfer/serial_port.h"

namespace {

std::atomic<bool> failNextLineSetup{false};

using TcsetattrFn = int (*)(int, int, const termios*);

bool exclusiveFlagSet(const std::string& device) {
  const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == EBUSY;
  int exclusive = 0;
  const bool set = ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
  close(fd);
  return set;
}

bool flockFree(const std::string& device) {
  const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
  close(fd);
  return free;
}

}  // namespace

extern "C" int tcsetattr(int fd, int action, const termios* settings) {
  if (failNextLineSetup.exchange(false)) {
    errno = EIO;
    return -1;
  }
  auto real = reinterpret_cast<TcsetattrFn>(dlsym(RTLD_NEXT, "tcsetattr"));
  return real(fd, action, settings);
}

TEST(SerialOpenFaults, AFailedRawSetupGivesBackTheExclusiveFlagAndTheLock) {
  PortFolder folder;
  PtyInstrument instrument(folder, 3);
  SerialPort* port = nullptr;
  failNextLineSetup = true;
  EXPECT_NE(serialOpen(3, &port), SerialOk);
  EXPECT_EQ(port, nullptr);
  EXPECT_FALSE(failNextLineSetup.load()) << "the raw setup was not reached";

  EXPECT_FALSE(exclusiveFlagSet(instrument.devicePath()));
  EXPECT_TRUE(flockFree(instrument.devicePath()));
  EXPECT_EQ(serialProbe(3), SerialOk) << "the port would be listed as in use";
  ASSERT_TRUE(openLink(3)) << "the next Start would fail";
  flushAndClose();
}
