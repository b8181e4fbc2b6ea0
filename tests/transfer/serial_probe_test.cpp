// Telling a free port from one another program holds, for the probe and for
// the exclusive open, and what an open of this program leaves to others.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>

#include "support/pty_instrument.h"
#include "transfer/serial_lock_posix.h"
#include "transfer/serial_port.h"

namespace {

// Removes a file the test leaves in a shared folder, however the test ends.
struct RemovedAtEnd {
  std::string path;
  ~RemovedAtEnd() { unlink(path.c_str()); }
};

pid_t deadPid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

TEST(LockFiles, NamesAndContentsAsOtherProgramsWriteThem) {
  EXPECT_EQ(lockFileNames("/dev/ttyUSB0"), std::vector<std::string>{"LCK..ttyUSB0"});
  EXPECT_EQ(lockFileNames("/dev/pts/3"), (std::vector<std::string>{"LCK..pts_3", "LCK..3"}));

  EXPECT_EQ(lockFilePid("      1234\n"), 1234);
  EXPECT_EQ(lockFilePid("4321\nminicom\nlab-pc\n"), 4321);
  const int32_t binary = 5678;
  EXPECT_EQ(lockFilePid(std::string_view(reinterpret_cast<const char*>(&binary), 4)), 5678);
  EXPECT_EQ(lockFilePid(""), 0);
  EXPECT_EQ(lockFilePid("   \n"), 0);
  EXPECT_EQ(lockFilePid("owner unknown"), 0);
  EXPECT_EQ(lockFilePid("99999999999999\n"), 0);
}

TEST(SerialProbe, FreePortIsFreeAndProbingLeavesNoHold) {
  PortFolder folder;
  PtyInstrument instrument(folder, 3);
  EXPECT_EQ(serialProbe(3), SerialOk);
  EXPECT_EQ(serialProbe(3), SerialOk);
  // Another program can still take it, and so can this one.
  { PortHolder holder(instrument.devicePath(), HoldKind::Flock); }
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(3, &port), SerialOk);
  serialClose(port);
}

TEST(SerialProbe, PortHeldByAnotherProgramIsInUseUntilReleased) {
  PortFolder folder;
  PtyInstrument instrument(folder, 5);
  std::vector<HoldKind> kinds{HoldKind::Flock, HoldKind::Exclusive};
  if (!PortHolder::lockFolder().empty()) kinds.push_back(HoldKind::LockFile);
  for (HoldKind kind : kinds) {
    SCOPED_TRACE(static_cast<int>(kind));
    PortHolder holder(instrument.devicePath(), kind);
    EXPECT_EQ(serialProbe(5), SerialInUse);
    SerialPort* port = nullptr;
    EXPECT_EQ(serialOpen(5, &port), SerialInUse);
    EXPECT_EQ(port, nullptr);
    holder.release();
    EXPECT_EQ(serialProbe(5), SerialOk);
  }
}

TEST(SerialProbe, OnlyALockFileOfALiveProcessHolds) {
  const std::string lockFolder = PortHolder::lockFolder();
  if (lockFolder.empty()) GTEST_SKIP() << "no writable lock folder";
  PortFolder folder;
  PtyInstrument instrument(folder, 7);
  PtyInstrument other(folder, 8);
  const std::string base = instrument.devicePath().substr(instrument.devicePath().rfind('/') + 1);
  const std::string lockFile = lockFolder + "/LCK.." + base;
  RemovedAtEnd removed{lockFile};

  std::ofstream(lockFile) << deadPid() << "\n";
  EXPECT_EQ(serialProbe(7), SerialOk);
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(7, &port), SerialOk);
  serialClose(port);

  // Under the plain base name, as minicom writes it, naming a live process.
  PortHolder liveProcess(other.devicePath(), HoldKind::LockFile);
  std::ofstream(lockFile) << "        " << liveProcess.pid() << "\n";
  EXPECT_EQ(serialProbe(7), SerialInUse);
  EXPECT_EQ(serialProbe(8), SerialInUse);
  unlink(lockFile.c_str());
  EXPECT_EQ(serialProbe(7), SerialOk);
}

TEST(SerialProbe, PortThisProgramHoldsIsInUseAndUndisturbed) {
  PortFolder folder;
  PtyInstrument instrument(folder, 10);
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(10, &port), SerialOk);
  SerialPort* second = nullptr;
  EXPECT_EQ(serialOpen(10, &second), SerialInUse);
  EXPECT_EQ(serialProbe(10), SerialInUse);
  EXPECT_EQ(serialProbe(10), SerialInUse);
  EXPECT_THROW(PortHolder(instrument.devicePath(), HoldKind::Flock), std::runtime_error);

  ASSERT_TRUE(instrument.send("still here"));
  ASSERT_TRUE(instrument.waitQueuedForProgram(10));
  char buffer[32];
  size_t got = 0;
  EXPECT_EQ(serialRead(port, buffer, sizeof buffer, got), SerialOk);
  EXPECT_EQ(std::string(buffer, got), "still here");

  serialClose(port);
  EXPECT_EQ(serialProbe(10), SerialOk);
  { PortHolder holder(instrument.devicePath(), HoldKind::Flock); }
}

// The exclusive flag stops every opener but root, so this runs the probe as
// an ordinary user.
TEST(SerialProbe, ExclusiveFlagAndPermissionsRefuseOrdinaryUsers) {
  PortFolder folder;
  PtyInstrument instrument(folder, 11);
  instrument.allowOtherUsers();
  auto probe = [] { return static_cast<int>(serialProbe(11)); };
  ASSERT_EQ(runUnprivileged(probe), SerialOk);
  {
    PortHolder holder(instrument.devicePath(), HoldKind::Exclusive);
    EXPECT_EQ(runUnprivileged(probe), SerialInUse);
  }
  EXPECT_EQ(runUnprivileged(probe), SerialOk);

  // This program's open sets the flag, and its close clears it again even
  // though the instrument keeps the device open.
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(11, &port), SerialOk);
  EXPECT_EQ(runUnprivileged(probe), SerialInUse);
  serialClose(port);
  EXPECT_EQ(runUnprivileged(probe), SerialOk);

  if (geteuid() == 0) {
    ASSERT_EQ(chmod(instrument.devicePath().c_str(), 0600), 0);
    EXPECT_EQ(runUnprivileged(probe), SerialInUse);
  }
}

}  // namespace
