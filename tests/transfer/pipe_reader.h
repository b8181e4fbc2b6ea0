// A named pipe standing for the output file, read (or not) by the test.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>

class PipeReader {
 public:
  explicit PipeReader(const std::string& path) {
    if (mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
    fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot open the pipe");
  }
  ~PipeReader() { closeReader(); }
  PipeReader(const PipeReader&) = delete;
  PipeReader& operator=(const PipeReader&) = delete;

  // The smallest pipe the system allows, so that a writer fills it soon.
  size_t shrink() { return static_cast<size_t>(fcntl(fd_, F_SETPIPE_SZ, 4096)); }
  size_t unread() {
    int n = 0;
    return ioctl(fd_, FIONREAD, &n) == 0 ? static_cast<size_t>(n) : 0;
  }
  // Reads what is there now; true once every writer has gone.
  bool readAvailable() {
    char buffer[4096];
    for (;;) {
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n > 0) {
        got_.append(buffer, static_cast<size_t>(n));
      } else {
        return n == 0;
      }
    }
  }
  // Reads until every writer has gone; false when that takes too long.
  bool readToEnd(std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!readAvailable()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      pollfd entry{fd_, POLLIN, 0};
      poll(&entry, 1, 50);
    }
    return true;
  }
  void closeReader() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  const std::string& got() const { return got_; }

 private:
  int fd_ = -1;
  std::string got_;
};
