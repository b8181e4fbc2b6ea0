#include "transfer/serial_lock_file_posix.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "transfer/serial_lock_posix.h"

namespace {

constexpr const char* kWritableLockFolders[] = {"/run/lock", "/var/lock"};

enum class Holder { Live, Gone, Unknown };

std::string baseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The running program's file name, as Qt finds it for a PID.
std::string programName() {
  char target[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", target, sizeof target - 1);
  if (n <= 0) return "";
  return baseName(std::string(target, static_cast<size_t>(n)));
}

std::string hostName() {
  char name[HOST_NAME_MAX + 1] = {};
  return gethostname(name, sizeof name - 1) == 0 ? name : "";
}

std::string lockContent() {
  return std::to_string(getpid()) + "\n" + programName() + "\n" + hostName() + "\n";
}

bool sameFile(int fd, const std::string& path) {
  struct stat held {
  }, named{};
  return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

bool writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Removes the lock file at `path` when its process is gone. A holder that
// keeps its file under a flock (Qt, this program) is live whatever the PID
// says; the flock taken here also keeps two removers from racing.
Holder removeWhenStale(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? Holder::Gone : Holder::Unknown;
  Holder holder = Holder::Live;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    char buffer[128];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    const pid_t pid = lockFilePid(std::string_view(buffer, got > 0 ? got : 0));
    const bool live = pid > 0 && pid != getpid() && (kill(pid, 0) == 0 || errno == EPERM);
    if (!live) {
      holder = sameFile(fd, path) && unlink(path.c_str()) == 0 ? Holder::Gone : Holder::Unknown;
    }
  }
  close(fd);
  return holder;
}

// Creates the file only where none is: never over another program's lock.
int createExclusively(const std::string& path) {
  int fd;
  do {
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

SerialStatus takeLockFile(const std::string& device, SerialLockFile& lock) {
  lock = SerialLockFile{};
  if (device.empty()) return SerialOk;
  for (const char* folder : kWritableLockFolders) {
    if (access(folder, W_OK) != 0) continue;
    const std::string path = std::string(folder) + "/LCK.." + baseName(device);
    // One stale file replaced; a second one in its place is someone's race.
    for (int attempt = 0; attempt < 2; ++attempt) {
      const int fd = createExclusively(path);
      if (fd < 0 && errno == EEXIST) {
        const Holder holder = removeWhenStale(path);
        if (holder == Holder::Live) return SerialInUse;
        if (holder == Holder::Gone) continue;
        return SerialOk;
      }
      if (fd < 0) return SerialOk;
      if (flock(fd, LOCK_EX | LOCK_NB) != 0 || !writeAll(fd, lockContent())) {
        unlink(path.c_str());
        close(fd);
        return SerialOk;
      }
      lock.path = path;
      lock.fd = fd;
      return SerialOk;
    }
    return SerialOk;
  }
  return SerialOk;
}

void releaseLockFile(SerialLockFile& lock) {
  if (lock.fd < 0) return;
  if (sameFile(lock.fd, lock.path)) unlink(lock.path.c_str());
  close(lock.fd);
  lock = SerialLockFile{};
}
