#include "transfer/serial_lock_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kLockFolders[] = {"/var/lock", "/run/lock"};

bool processAlive(pid_t pid) {
  return kill(pid, 0) == 0 || errno == EPERM;
}

std::string readSmallFile(const std::string& path) {
  std::string content;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return content;
  char buffer[128];
  const ssize_t got = read(fd, buffer, sizeof buffer);
  if (got > 0) content.assign(buffer, static_cast<size_t>(got));
  close(fd);
  return content;
}

// Whether the exclusive flag is set on the tty. Lets root, whom the flag does
// not stop, still see that another program asked for it.
bool exclusiveFlagSet(int fd) {
  int exclusive = 0;
  return ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

}  // namespace

std::vector<std::string> lockFileNames(const std::string& device) {
  std::vector<std::string> names;
  std::string belowDev = device;
  if (belowDev.rfind("/dev/", 0) == 0) belowDev.erase(0, 5);
  for (char& c : belowDev) {
    if (c == '/') c = '_';
  }
  names.push_back("LCK.." + belowDev);
  const size_t slash = device.find_last_of('/');
  const std::string base = slash == std::string::npos ? device : device.substr(slash + 1);
  if (base != belowDev) names.push_back("LCK.." + base);
  return names;
}

pid_t lockFilePid(std::string_view content) {
  const bool binary = content.size() == sizeof(int32_t) &&
                      content.find_first_not_of(" \t\n0123456789") != std::string_view::npos;
  if (binary) {
    int32_t pid = 0;
    std::memcpy(&pid, content.data(), sizeof pid);
    return pid > 0 ? pid : 0;
  }
  size_t i = content.find_first_not_of(" \t");
  if (i == std::string_view::npos) return 0;
  long long pid = 0;
  for (; i < content.size() && content[i] >= '0' && content[i] <= '9'; ++i) {
    pid = pid * 10 + (content[i] - '0');
    if (pid > INT_MAX) return 0;
  }
  return static_cast<pid_t>(pid);
}

bool lockFileHeldByOther(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return false;
  const std::string device = resolved;
  std::free(resolved);
  for (const char* folder : kLockFolders) {
    for (const std::string& name : lockFileNames(device)) {
      const pid_t pid = lockFilePid(readSmallFile(std::string(folder) + "/" + name));
      // Our own PID: the lock file of our own open port (which the port's
      // exclusive flag and flock mark as held), or a stale one to replace.
      if (pid > 0 && pid != getpid() && processAlive(pid)) return true;
    }
  }
  return false;
}

SerialStatus takeExclusive(int fd) {
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return SerialInUse;
  if (exclusiveFlagSet(fd)) return SerialInUse;
  ioctl(fd, TIOCEXCL);
  return SerialOk;
}

void releaseExclusive(int fd) {
  ioctl(fd, TIOCNXCL);
  flock(fd, LOCK_UN);
}

SerialStatus checkNotHeld(int fd) {
  // A shared lock conflicts only with a holder's exclusive one, and it is
  // dropped at once so that a program taking the port meanwhile is not refused.
  if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return SerialInUse;
  } else {
    flock(fd, LOCK_UN);
  }
  if (exclusiveFlagSet(fd)) return SerialInUse;
  return SerialOk;
}
