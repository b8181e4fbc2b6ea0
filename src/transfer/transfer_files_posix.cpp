#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "transfer/transfer_files.h"

namespace {

bool isPlainFile(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Non-blocking while opening: a named pipe that nobody reads would otherwise
// hold the window's thread in open() for good. A plain file then blocks as
// usual; a pipe or device stays non-blocking, so that a reader that stalls
// (or a device held by flow control) is waited for with a limit.
int openWithoutWaiting(const std::string& path, bool append) {
  const int flags =
      O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (append ? O_APPEND : 0);
  int fd;
  do {
    fd = open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  if (isPlainFile(fd) && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Only a plain file can be emptied; a pipe or a device is written as it is.
bool empty(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return false;
  return !S_ISREG(info.st_mode) || ftruncate(fd, 0) == 0;
}

// Opens without truncating, takes the lock, and only then empties the file,
// so a refused lock leaves someone else's file as it was.
int openLocked(const std::string& path, bool append) {
  const int fd = openWithoutWaiting(path, append);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || (!append && !empty(fd))) {
    close(fd);
    return -1;
  }
  return fd;
}

// Waits until a pipe or device takes bytes again; false once `waitMs` pass.
bool waitForRoom(int fd, int waitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return false;
    pollfd entry{fd, POLLOUT, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left));
    if (ready > 0) return true;  // room, or an error the next write reports
    if (ready < 0 && errno != EINTR) return false;
  }
}

// What the disk took of a line or chunk it then refused (a full disk takes
// part of a write before it fails) is taken back out, so that the file ends
// on a whole line: an Append next time would glue its first line onto the
// fragment, and a line counted as lost is wholly absent.
// The offset goes back to the cut too: only Append opens with O_APPEND, and
// elsewhere the next write, once there is room again, would start at the
// old end and leave a hole of NUL bytes where the fragment was.
// False when the fragment stays: nothing more can be done about it then.
bool takeBack(int fd, size_t written) {
  if (written == 0 || !isPlainFile(fd)) return true;
  const off_t end = lseek(fd, 0, SEEK_CUR);
  const off_t start = end - static_cast<off_t>(written);
  return end >= 0 && start >= 0 && ftruncate(fd, start) == 0 && lseek(fd, start, SEEK_SET) == start;
}

}  // namespace

int openOutputFile(const std::string& path, bool append) {
  if (path.empty()) return -1;
  return openLocked(path, append);
}

int openRawLog(const std::string& path) {
  return openLocked(path, false);
}

bool closeTransferFile(int fd) {
  if (fd < 0) return true;
  // On Linux the descriptor is gone even when close reports an error.
  return close(fd) == 0;
}

bool syncAndCloseTransferFile(int fd) {
  if (fd < 0) return true;
  const bool synced = !isPlainFile(fd) || fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  return synced && closed;
}

bool syncTransferFile(int fd) {
  return fd < 0 || !isPlainFile(fd) || fsync(fd) == 0;
}

WriteOutcome writeWithin(int fd, const char* data, size_t size, int waitMs) {
  if (fd < 0) return WriteOutcome::Failed;
  size_t written = 0;
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<size_t>(n);
      written += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!waitForRoom(fd, waitMs)) return WriteOutcome::TimedOut;
      continue;
    }
    takeBack(fd, written);
    return WriteOutcome::Failed;
  }
  return WriteOutcome::Written;
}
