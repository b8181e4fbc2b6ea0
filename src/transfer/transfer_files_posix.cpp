#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "transfer/transfer_files.h"

namespace {

// Opens without truncating, takes the lock, and only then empties the file,
// so a refused lock leaves someone else's file as it was.
int openLocked(const std::string& path, bool append) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : 0);
  const int fd = open(path.c_str(), flags, 0666);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || (!append && ftruncate(fd, 0) != 0)) {
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
