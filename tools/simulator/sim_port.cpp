#include "sim_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace sim {

namespace {

std::string reason(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool makeRaw(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  cfsetispeed(&t, B19200);
  cfsetospeed(&t, B19200);
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

std::string linkTarget(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
  if (n < 0) return {};
  return std::string(target, static_cast<size_t>(n));
}

}  // namespace

bool openPort(SimPort& port, std::string& error) {
  port.master = posix_openpt(O_RDWR | O_NOCTTY);
  if (port.master < 0) {
    error = reason("posix_openpt");
    return false;
  }
  if (grantpt(port.master) != 0 || unlockpt(port.master) != 0) {
    error = reason("grantpt/unlockpt");
    return false;
  }
  const char* name = ptsname(port.master);
  if (!name) {
    error = reason("ptsname");
    return false;
  }
  port.devicePath = name;
  // The device end's settings are those of the whole line; set them from
  // the master so that nothing is echoed or translated before the program
  // sets its own.
  if (!makeRaw(port.master)) {
    error = reason("raw mode");
    return false;
  }
  ::fcntl(port.master, F_SETFL, ::fcntl(port.master, F_GETFL) | O_NONBLOCK);
  port.holder = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (port.holder < 0) {
    error = reason(std::string("open ") + name);
    return false;
  }
  // Added after the holder's own opening so that only others are counted.
  port.watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (port.watch < 0 || inotify_add_watch(port.watch, name, IN_OPEN | IN_CLOSE) < 0) {
    error = reason("watching " + port.devicePath);
    return false;
  }
  return true;
}

bool publishPort(SimPort& port, const std::string& dir, int com, std::string& error) {
  if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
    error = reason("creating " + dir);
    return false;
  }
  const std::string link = dir + "/COM" + std::to_string(com);
  struct stat st {};
  if (::lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    error = link + " exists and is not a link; left alone";
    return false;
  }
  // Through a temporary name and rename, so a reader never finds the name
  // missing or half made.
  const std::string temporary =
      dir + "/.COM" + std::to_string(com) + "." + std::to_string(::getpid());
  ::unlink(temporary.c_str());
  if (::symlink(port.devicePath.c_str(), temporary.c_str()) != 0) {
    error = reason("linking " + temporary);
    return false;
  }
  if (::rename(temporary.c_str(), link.c_str()) != 0) {
    error = reason("publishing " + link);
    ::unlink(temporary.c_str());
    return false;
  }
  port.linkPath = link;
  return true;
}

bool holdPort(SimPort& port, std::string& error) {
  if (::flock(port.holder, LOCK_EX | LOCK_NB) != 0) {
    error = reason("locking " + port.devicePath);
    return false;
  }
  if (::ioctl(port.holder, TIOCEXCL) != 0) {
    error = reason("claiming " + port.devicePath);
    return false;
  }
  port.held = true;
  return true;
}

void serviceWatch(SimPort& port) {
  alignas(inotify_event) char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(port.watch, buffer, sizeof buffer);
    if (n <= 0) break;
    bool closed = false;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->mask & IN_OPEN) ++port.openers;
      if (event->mask & IN_CLOSE) {
        if (port.openers > 0) --port.openers;
        closed = true;
      }
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    if (closed && port.openers == 0 && !port.held) ::ioctl(port.holder, TIOCNXCL);
  }
}

size_t unreadByProgram(const SimPort& port) {
  int count = 0;
  if (port.holder < 0 || ::ioctl(port.holder, FIONREAD, &count) != 0 || count < 0) return 0;
  return static_cast<size_t>(count);
}

void hangUp(SimPort& port) {
  closeFd(port.holder);
  closeFd(port.master);
}

void closePort(SimPort& port) {
  if (!port.linkPath.empty() && linkTarget(port.linkPath) == port.devicePath)
    ::unlink(port.linkPath.c_str());
  port.linkPath.clear();
  closeFd(port.watch);
  hangUp(port);
}

}  // namespace sim
