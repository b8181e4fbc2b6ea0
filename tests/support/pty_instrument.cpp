#include "support/pty_instrument.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

void closeIfOpen(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Waits for a child to end, killing it after `timeout`. Its exit code, or -1.
int reap(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return -1;
    if (Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A child must not keep the instrument's descriptors (or any other test
// object's) alive: a hang-up would then not reach the program.
void closeAllBut(int keepA, int keepB) {
  const unsigned low = static_cast<unsigned>(std::min(keepA, keepB));
  const unsigned high = static_cast<unsigned>(std::max(keepA, keepB));
  if (low > 3) close_range(3, low - 1, 0);
  if (high > low + 1) close_range(low + 1, high - 1, 0);
  close_range(high + 1, ~0u, 0);
}

// The lock file name Qt-based programs use: the name below /dev with '/' as '_'.
std::string lockFileFor(const std::string& devicePath) {
  char* resolved = realpath(devicePath.c_str(), nullptr);
  if (!resolved) fail("cannot resolve " + devicePath);
  std::string name = resolved;
  std::free(resolved);
  if (name.rfind("/dev/", 0) == 0) name.erase(0, 5);
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const std::string folder = PortHolder::lockFolder();
  if (folder.empty()) throw std::runtime_error("no writable lock folder");
  return folder + "/LCK.." + name;
}

// The child side of PortHolder: reports 0 or an errno on `ready`, then holds
// until `release` is written to or closed.
[[noreturn]] void holdInChild(HoldKind kind, const std::string& device, const std::string& lockFile,
                              int ready, int release) {
  closeAllBut(ready, release);
  int fd = -1;
  int result = 0;
  if (kind == HoldKind::LockFile) {
    fd = open(lockFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(getpid()));
    if (fd < 0 || write(fd, text, static_cast<size_t>(length)) != length) result = errno;
    closeIfOpen(fd);
  } else {
    fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      result = errno;
    } else if (kind == HoldKind::Flock && flock(fd, LOCK_EX | LOCK_NB) != 0) {
      result = errno;
    } else if (kind == HoldKind::Exclusive && ioctl(fd, TIOCEXCL) != 0) {
      result = errno;
    }
  }
  const unsigned char report = static_cast<unsigned char>(result > 255 ? 255 : result);
  if (write(ready, &report, 1) != 1 || result != 0) _exit(1);
  char ignored;
  while (read(release, &ignored, 1) < 0 && errno == EINTR) {
  }
  // The flag stays on the tty while other descriptors have it open.
  if (kind == HoldKind::Exclusive) ioctl(fd, TIOCNXCL);
  if (kind == HoldKind::LockFile) unlink(lockFile.c_str());
  _exit(0);
}

}  // namespace

// ---- PortFolder ----

PortFolder::PortFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/morvane-ports.XXXXXX";
  if (!mkdtemp(pattern.data())) fail("cannot create a port folder");
  path_ = pattern;
  // Other users (see runUnprivileged) look up ports here too.
  chmod(path_.c_str(), 0755);
  if (const char* previous = std::getenv("MORVANE_PORT_DIR")) {
    hadPrevious_ = true;
    previous_ = previous;
  }
  setenv("MORVANE_PORT_DIR", path_.c_str(), 1);
}

PortFolder::~PortFolder() {
  if (hadPrevious_) {
    setenv("MORVANE_PORT_DIR", previous_.c_str(), 1);
  } else {
    unsetenv("MORVANE_PORT_DIR");
  }
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string PortFolder::entryPath(int portNumber) const {
  return path_ + "/COM" + std::to_string(portNumber);
}

void PortFolder::publish(int portNumber, const std::string& target) {
  withdraw(portNumber);
  if (symlink(target.c_str(), entryPath(portNumber).c_str()) != 0) fail("cannot publish COM port");
}

void PortFolder::withdraw(int portNumber) {
  unlink(entryPath(portNumber).c_str());
}

// ---- PtyInstrument ----

PtyInstrument::PtyInstrument(PortFolder& folder, int portNumber)
    : folder_(folder), portNumber_(portNumber) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) fail("posix_openpt");
  char name[128];
  if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name)) {
    closeIfOpen(master_);
    fail("cannot prepare pseudo-terminal");
  }
  devicePath_ = name;
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  keeper_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  termios tio{};
  if (keeper_ < 0 || tcgetattr(keeper_, &tio) != 0) {
    closeIfOpen(keeper_);
    closeIfOpen(master_);
    fail("cannot open " + devicePath_);
  }
  tio.c_iflag |= ICRNL | IXON;
  tio.c_oflag |= OPOST | ONLCR;
  tio.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
  tio.c_cflag |= CSTOPB;
  cfsetispeed(&tio, B9600);
  cfsetospeed(&tio, B9600);
  tcsetattr(keeper_, TCSANOW, &tio);
  folder_.publish(portNumber_, devicePath_);
}

PtyInstrument::~PtyInstrument() {
  {
    std::lock_guard<std::mutex> lock(backgroundMutex_);
    stopping_ = true;
  }
  backgroundChanged_.notify_all();
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> lock(backgroundMutex_);
    threads.swap(background_);
  }
  for (std::thread& thread : threads) thread.join();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closeIfOpen(keeper_);
    closeIfOpen(master_);
  }
  folder_.withdraw(portNumber_);
}

bool PtyInstrument::writeSome(std::string_view bytes, size_t& done) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (master_ < 0) return false;
  const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
  if (n > 0) done += static_cast<size_t>(n);
  return n >= 0 || errno == EAGAIN || errno == EINTR;
}

bool PtyInstrument::send(std::string_view bytes, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t before = done;
    if (!writeSome(bytes, done)) return false;
    if (done == before) {
      if (Clock::now() >= deadline || stopping_) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  return true;
}

bool PtyInstrument::sleepUntil(Clock::time_point until) {
  std::unique_lock<std::mutex> lock(backgroundMutex_);
  return !backgroundChanged_.wait_until(lock, until, [this] { return stopping_.load(); });
}

void PtyInstrument::runInBackground(std::function<bool()> work) {
  std::lock_guard<std::mutex> lock(backgroundMutex_);
  ++backgroundRunning_;
  background_.emplace_back([this, work = std::move(work)] {
    if (!work()) backgroundFailed_ = true;
    {
      std::lock_guard<std::mutex> done(backgroundMutex_);
      --backgroundRunning_;
    }
    backgroundChanged_.notify_all();
  });
}

bool PtyInstrument::sendPaced(std::string_view bytes, Pace pace) {
  if (pace == Pace::Burst) return send(bytes);
  // Each byte goes out when it is due at the line rate; a late wake-up
  // sends everything that has fallen due since.
  const auto start = Clock::now();
  size_t sent = 0;
  while (sent < bytes.size()) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    const size_t due =
        std::min(bytes.size(), static_cast<size_t>(elapsed * kLineRate / 1000000) + 1);
    if (due > sent) {
      if (!send(bytes.substr(sent, due - sent))) return false;
      sent = due;
    }
    const auto next = start + std::chrono::microseconds(sent * 1000000 / kLineRate);
    if (sent < bytes.size() && !sleepUntil(next)) return false;
  }
  return true;
}

void PtyInstrument::sendInBackground(std::string bytes, Pace pace,
                                     std::chrono::milliseconds delay) {
  runInBackground([this, bytes = std::move(bytes), pace, delay] {
    return sleepUntil(Clock::now() + delay) && sendPaced(bytes, pace);
  });
}

void PtyInstrument::answerInBackground(size_t afterBytes, std::string bytes, Pace pace) {
  runInBackground([this, afterBytes, bytes = std::move(bytes), pace] {
    while (received().size() < afterBytes) {
      if (isHungUp() || !sleepUntil(Clock::now() + std::chrono::milliseconds(1))) return false;
    }
    return sendPaced(bytes, pace);
  });
}

void PtyInstrument::hangUpInBackground(std::chrono::milliseconds delay) {
  runInBackground([this, delay] {
    if (!sleepUntil(Clock::now() + delay)) return false;
    hangUp();
    return true;
  });
}

bool PtyInstrument::waitBackground(std::chrono::milliseconds timeout) {
  std::vector<std::thread> threads;
  {
    std::unique_lock<std::mutex> lock(backgroundMutex_);
    if (!backgroundChanged_.wait_for(lock, timeout, [this] { return backgroundRunning_ == 0; })) {
      return false;
    }
    threads.swap(background_);
  }
  for (std::thread& thread : threads) thread.join();
  return !backgroundFailed_;
}

size_t PtyInstrument::queuedForProgram() {
  std::lock_guard<std::mutex> lock(mutex_);
  int queued = 0;
  if (keeper_ < 0 || ioctl(keeper_, FIONREAD, &queued) != 0) return 0;
  return static_cast<size_t>(queued);
}

bool PtyInstrument::waitQueuedForProgram(size_t count, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (queuedForProgram() < count) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void PtyInstrument::collectLocked() {
  if (master_ < 0) return;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) break;
    received_.append(buffer, static_cast<size_t>(n));
  }
}

std::string PtyInstrument::received() {
  std::lock_guard<std::mutex> lock(mutex_);
  collectLocked();
  return received_;
}

bool PtyInstrument::waitReceived(size_t count, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (received().size() < count) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void PtyInstrument::clearReceived() {
  std::lock_guard<std::mutex> lock(mutex_);
  collectLocked();
  received_.clear();
}

termios PtyInstrument::line() {
  std::lock_guard<std::mutex> lock(mutex_);
  termios tio{};
  if (keeper_ < 0 || tcgetattr(keeper_, &tio) != 0) fail("cannot read the line settings");
  return tio;
}

void PtyInstrument::hangUpLocked() {
  collectLocked();
  closeIfOpen(keeper_);
  closeIfOpen(master_);
}

void PtyInstrument::hangUp() {
  std::lock_guard<std::mutex> lock(mutex_);
  hangUpLocked();
}

bool PtyInstrument::isHungUp() {
  std::lock_guard<std::mutex> lock(mutex_);
  return master_ < 0;
}

void PtyInstrument::allowOtherUsers() {
  if (chmod(devicePath_.c_str(), 0666) != 0) fail("cannot open " + devicePath_ + " to others");
}

// ---- PortHolder ----

PortHolder::PortHolder(const std::string& devicePath, HoldKind kind) {
  if (kind == HoldKind::LockFile) lockFilePath_ = lockFileFor(devicePath);
  int ready[2];
  int releasePipe[2];
  if (pipe2(ready, O_CLOEXEC) != 0) fail("pipe");
  if (pipe2(releasePipe, O_CLOEXEC) != 0) {
    close(ready[0]);
    close(ready[1]);
    fail("pipe");
  }
  pid_ = fork();
  if (pid_ == 0) holdInChild(kind, devicePath, lockFilePath_, ready[1], releasePipe[0]);
  close(ready[1]);
  close(releasePipe[0]);
  releaseFd_ = releasePipe[1];
  if (pid_ < 0) {
    close(ready[0]);
    closeIfOpen(releaseFd_);
    fail("fork");
  }
  pollfd entry{ready[0], POLLIN, 0};
  unsigned char report = 255;
  const bool answered = poll(&entry, 1, 5000) == 1 && read(ready[0], &report, 1) == 1;
  close(ready[0]);
  if (!answered || report != 0) {
    release();
    errno = answered ? report : ETIMEDOUT;
    fail("the holder could not take " + devicePath);
  }
}

PortHolder::~PortHolder() {
  release();
}

void PortHolder::release() {
  if (pid_ <= 0) return;
  closeIfOpen(releaseFd_);
  const bool cleanedUp = reap(pid_, std::chrono::seconds(5)) == 0;
  // A child that had to be killed leaves its lock file; only one naming it goes.
  if (!cleanedUp && !lockFilePath_.empty()) {
    FILE* file = std::fopen(lockFilePath_.c_str(), "r");
    int pid = 0;
    if (file) {
      if (std::fscanf(file, "%d", &pid) != 1) pid = 0;
      std::fclose(file);
    }
    if (pid == pid_) unlink(lockFilePath_.c_str());
  }
  pid_ = -1;
}

std::string PortHolder::lockFolder() {
  for (const char* folder : {"/run/lock", "/var/lock"}) {
    if (access(folder, W_OK) == 0) return folder;
  }
  return "";
}

// ---- runUnprivileged ----

int runUnprivileged(const std::function<int()>& work) {
  uid_t uid = 65534;
  gid_t gid = 65534;
  if (const passwd* nobody = getpwnam("nobody")) {
    uid = nobody->pw_uid;
    gid = nobody->pw_gid;
  }
  const bool root = geteuid() == 0;
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (root && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)) _exit(254);
    int result = 255;
    try {
      result = work();
    } catch (...) {
    }
    _exit(result & 0xff);
  }
  return reap(pid, std::chrono::seconds(10));
}
