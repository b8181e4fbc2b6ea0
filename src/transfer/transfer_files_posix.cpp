#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "transfer/transfer_files.h"

namespace {

// Non-blocking only while opening: a named pipe that nobody reads would
// otherwise hold the window's thread in open() for good. Writes block again
// so that a slow reader is waited for rather than losing lines.
int openWithoutWaiting(const std::string& path, bool append) {
  const int flags =
      O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (append ? O_APPEND : 0);
  int fd;
  do {
    fd = open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
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

}  // namespace

int openOutputFile(const std::string& path, bool append) {
  if (path.empty()) return -1;
  return openLocked(path, append);
}

int openRawLog(const std::string& path) {
  return openLocked(path, false);
}

void closeTransferFile(int fd) {
  if (fd >= 0) close(fd);
}

bool writeWhole(int fd, const char* data, size_t size) {
  if (fd < 0) return false;
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}
