// The UUCP lock file held while a port is open, read by a second process
// exactly as minicom and Qt's lock file read one. Each test runs with a
// fresh tmpfs over the lock folders, in a mount namespace of its own, so
// that the machine's /run/lock is neither read nor left with files.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLockFile>
#include <QString>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/private_mounts.h"
#include "support/pty_instrument.h"
#include "transfer/serial_port.h"

namespace {

constexpr int Port = 3;

// /var/lock is often a link to /run/lock; a disk goes over each folder once.
void mountLockFolders(const std::string& options) {
  mountSmallDisk("/run/lock", options);
  char* resolved = realpath("/var/lock", nullptr);
  const bool same = resolved && std::string(resolved) == "/run/lock";
  std::free(resolved);
  if (!same) mountSmallDisk("/var/lock", options);
}

std::string lockFileOf(const PtyInstrument& instrument) {
  const std::string device = instrument.devicePath();
  return "/run/lock/LCK.." + device.substr(device.find_last_of('/') + 1);
}

bool exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

void writeLock(const std::string& path, const std::string& content) {
  FILE* file = std::fopen(path.c_str(), "w");
  ASSERT_NE(file, nullptr) << path;
  std::fputs(content.c_str(), file);
  std::fclose(file);
}

// minicom's check: up to 127 bytes; 4 bytes are a binary PID, anything
// else is read as text; locked unless kill(pid, 0) says there is no such
// process.
bool minicomSeesItLocked(const std::string& path, pid_t& pid) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  char buffer[128];
  const ssize_t n = read(fd, buffer, 127);
  close(fd);
  if (n <= 0) return true;
  int read = -1;
  if (n == 4) return false;  // never what a text lock should look like
  buffer[n] = 0;
  std::sscanf(buffer, "%d", &read);
  pid = read;
  return !(read > 0 && kill(read, 0) < 0 && errno == ESRCH);
}

// Qt's check, in a process of its own as a second program would be: 0 when
// its lock is refused as held by `owner`, 1 when it got the lock, 2 else.
int qtLockInAnotherProcess(const std::string& path, pid_t owner) {
  const pid_t child = fork();
  if (child == 0) {
    QLockFile lock(QString::fromStdString(path));
    if (lock.tryLock(0)) _exit(1);
    qint64 pid = 0;
    QString host, app;
    const bool refused = lock.error() == QLockFile::LockFailedError &&
                         lock.getLockInfo(&pid, &host, &app) && pid == owner;
    _exit(refused ? 0 : 2);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

pid_t goneProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

}  // namespace

// Held while open, and as live to both readers however old it is: Qt takes
// a lock file older than 30 s for stale unless it cannot take its flock.
TEST(LockFile, HeldWhileOpenAsMinicomAndQtReadIt) {
  if (!insidePrivateMounts()) return rerunInPrivateMounts();
  mountLockFolders("size=64k");
  PortFolder folder;
  PtyInstrument instrument(folder, Port);
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(Port, &port), SerialOk);
  const std::string path = lockFileOf(instrument);
  pid_t pid = 0;
  EXPECT_TRUE(minicomSeesItLocked(path, pid));
  EXPECT_EQ(pid, getpid());
  const timeval aMinuteAgo[2] = {{time(nullptr) - 60, 0}, {time(nullptr) - 60, 0}};
  ASSERT_EQ(utimes(path.c_str(), aMinuteAgo), 0);
  EXPECT_EQ(qtLockInAnotherProcess(path, getpid()), 0);

  serialClose(port);
  EXPECT_FALSE(exists(path)) << "left behind at close";
}

TEST(LockFile, AStaleOneIsReplaced) {
  if (!insidePrivateMounts()) return rerunInPrivateMounts();
  mountLockFolders("size=64k");
  PortFolder folder;
  PtyInstrument instrument(folder, Port);
  const std::string path = lockFileOf(instrument);
  writeLock(path, std::to_string(goneProcess()) + "\n");
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(Port, &port), SerialOk);
  pid_t pid = 0;
  EXPECT_TRUE(minicomSeesItLocked(path, pid));
  EXPECT_EQ(pid, getpid());
  serialClose(port);
}

// The lock file is taken before the device is; an open refused after that
// (another program holds the device by its flock) gives it back.
TEST(LockFile, RemovedWhenTheOpenFailsAfterTakingIt) {
  if (!insidePrivateMounts()) return rerunInPrivateMounts();
  mountLockFolders("size=64k");
  PortFolder folder;
  PtyInstrument instrument(folder, Port);
  PortHolder holder(instrument.devicePath(), HoldKind::Flock);
  SerialPort* port = nullptr;
  EXPECT_EQ(serialOpen(Port, &port), SerialInUse);
  EXPECT_FALSE(exists(lockFileOf(instrument)));
}

TEST(LockFile, AFolderThatCannotBeWrittenDoesNotStopTheOpen) {
  if (!insidePrivateMounts()) return rerunInPrivateMounts();
  mountLockFolders("ro");
  PortFolder folder;
  PtyInstrument instrument(folder, Port);
  SerialPort* port = nullptr;
  ASSERT_EQ(serialOpen(Port, &port), SerialOk);
  serialClose(port);
}
