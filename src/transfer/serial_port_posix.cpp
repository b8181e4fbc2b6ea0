// The serial layer over POSIX: device mapping, exclusive open, the probe,
// and the byte traffic of an open port.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "transfer/serial_lock_posix.h"
#include "transfer/serial_port_posix.h"

namespace {

constexpr int kHighestPort = 100;
constexpr int kOpenFlags = O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
// A free port is kept open this long before the probe closes it again.
constexpr auto kProbePause = std::chrono::milliseconds(10);
// A write the line does not take (an earlier program's flow control held
// by the other end, a full buffer) gives up after this with what it took.
constexpr auto kWriteLimit = std::chrono::milliseconds(500);

struct DeviceRange {
  int firstPort;
  int count;
  const char* prefix;
};

// Serial ports on a Linux machine: on-board UARTs, USB serial adapters,
// USB modems (CDC ACM), Bluetooth serial links.
constexpr DeviceRange kDefaultTable[] = {
    {1, 32, "/dev/ttyS"},
    {33, 32, "/dev/ttyUSB"},
    {65, 32, "/dev/ttyACM"},
    {97, 4, "/dev/rfcomm"},
};

std::string defaultDevicePath(int portNumber) {
  for (const DeviceRange& range : kDefaultTable) {
    if (portNumber >= range.firstPort && portNumber < range.firstPort + range.count) {
      return range.prefix + std::to_string(portNumber - range.firstPort);
    }
  }
  return "";
}

// Only character devices can be serial ports; anything else is refused
// before it is opened (opening a FIFO, say, would have effects of its own).
SerialStatus checkDeviceNode(const std::string& path) {
  if (path.empty()) return SerialAbsent;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return SerialAbsent;
  return S_ISCHR(info.st_mode) ? SerialOk : SerialAbsent;
}

SerialStatus openDevice(const std::string& path, int& fd) {
  do {
    fd = open(path.c_str(), kOpenFlags);
  } while (fd < 0 && errno == EINTR);
  if (fd >= 0) return SerialOk;
  switch (errno) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
    case EISDIR:
    case ELOOP:
    case EIO:
      return SerialAbsent;
    case EACCES:
    case EPERM:
    case EBUSY:
      return SerialInUse;
    default:
      return SerialFailed;
  }
}

// The object must still be a character device now that it is open (the
// path may have changed since it was looked at) and must be a terminal.
SerialStatus checkOpenedTerminal(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return SerialAbsent;
  termios tio{};
  return tcgetattr(fd, &tio) == 0 ? SerialOk : SerialAbsent;
}

// A serial port answers the modem-line query. Devices without modem lines
// (pseudo-terminals, some adapters) say they do not know it; they count
// when they are terminals.
SerialStatus checkAnswersModemQuery(int fd) {
  int lines = 0;
  if (ioctl(fd, TIOCMGET, &lines) == 0) return SerialOk;
  if (errno != ENOTTY && errno != EINVAL) return SerialAbsent;
  termios tio{};
  return tcgetattr(fd, &tio) == 0 ? SerialOk : SerialAbsent;
}

// The device a port's path leads to (the port folder's entries are links),
// which lock files are named after; "" when it cannot be told.
std::string resolvedDevice(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return "";
  std::string device = resolved;
  std::free(resolved);
  return device;
}

void closeDescriptor(int fd) {
  if (fd >= 0) close(fd);
}

void takeCountsBaseline(SerialPort& port) {
  port.haveCounts = readErrorCounts(port.fd, port.lastCounts) == CountsResult::Ok;
}

// Line errors since the last poll. SerialGone when the device went away.
SerialStatus pollLineErrors(SerialPort& port, uint32_t& errors) {
  errors = 0;
  SerialErrorCounts now;
  switch (readErrorCounts(port.fd, now)) {
    case CountsResult::Gone:
      return SerialGone;
    case CountsResult::Unsupported:
      port.haveCounts = false;
      return SerialOk;
    case CountsResult::Ok:
      if (port.haveCounts) errors = lineErrorsBetween(port.lastCounts, now);
      port.lastCounts = now;
      port.haveCounts = true;
      return SerialOk;
  }
  return SerialOk;
}

// Until the line takes bytes again; false once `deadline` has passed.
bool waitForRoom(int fd, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd entry{fd, POLLOUT, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left.count()));
    if (ready > 0) return (entry.revents & POLLOUT) != 0;
    if (ready < 0 && errno != EINTR) return false;
  }
}

bool hungUp(int fd) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, 0) > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace

SerialStatus statusAfterError(int err, SerialStatus otherwise) {
  return (err == EIO || err == ENXIO || err == ENODEV || err == EBADF) ? SerialGone : otherwise;
}

std::string serialDevicePath(int portNumber) {
  if (portNumber < 1 || portNumber > kHighestPort) return "";
  const char* folder = std::getenv("MORVANE_PORT_DIR");
  if (!folder || !*folder) return defaultDevicePath(portNumber);
  const std::string entry = std::string(folder) + "/COM" + std::to_string(portNumber);
  struct stat info {};
  return lstat(entry.c_str(), &info) == 0 ? entry : "";
}

namespace {

SerialStatus openPort(int portNumber, SerialPort** port, bool keepInput) {
  if (!port) return SerialFailed;
  *port = nullptr;
  const std::string path = serialDevicePath(portNumber);
  SerialStatus status = checkDeviceNode(path);
  if (status != SerialOk) return status;
  if (lockFileHeldByOther(path)) return SerialInUse;
  SerialLockFile lockFile;
  status = takeLockFile(resolvedDevice(path), lockFile);
  int fd = -1;
  if (status == SerialOk) status = openDevice(path, fd);
  if (status == SerialOk) status = checkOpenedTerminal(fd);
  if (status == SerialOk) status = takeExclusive(fd);
  const bool taken = status == SerialOk;
  if (status == SerialOk) status = makeRaw(fd);
  if (status != SerialOk) {
    // The exclusive flag belongs to the tty, not to this descriptor: left
    // set, it would outlive the close and keep the port looking held.
    if (taken) releaseExclusive(fd);
    closeDescriptor(fd);
    releaseLockFile(lockFile);
    return status;
  }
  if (!keepInput) tcflush(fd, TCIFLUSH);
  *port = new SerialPort;
  (*port)->fd = fd;
  (*port)->lockFile = lockFile;
  takeCountsBaseline(**port);
  return SerialOk;
}

}  // namespace

SerialStatus serialOpen(int portNumber, SerialPort** port) {
  return openPort(portNumber, port, false);
}

SerialStatus serialReopen(int portNumber, SerialPort** port) {
  return openPort(portNumber, port, true);
}

SerialStatus serialProbe(int portNumber) {
  const std::string path = serialDevicePath(portNumber);
  SerialStatus status = checkDeviceNode(path);
  if (status != SerialOk) return status;
  if (lockFileHeldByOther(path)) return SerialInUse;
  int fd = -1;
  status = openDevice(path, fd);
  if (status == SerialOk) status = checkNotHeld(fd);
  if (status == SerialOk) status = checkAnswersModemQuery(fd);
  if (status == SerialOk) std::this_thread::sleep_for(kProbePause);
  closeDescriptor(fd);
  return status;
}

SerialStatus serialPoll(SerialPort* port, uint32_t& waiting, uint32_t& errors) {
  waiting = 0;
  errors = 0;
  if (!port) return SerialFailed;
  int queued = 0;
  if (ioctl(port->fd, FIONREAD, &queued) != 0) return statusAfterError(errno, SerialFailed);
  const SerialStatus status = pollLineErrors(*port, errors);
  if (status != SerialOk) return status;
  if (queued == 0 && hungUp(port->fd)) return SerialGone;
  waiting = queued > 0 ? static_cast<uint32_t>(queued) : 0;
  return SerialOk;
}

SerialStatus serialWaitInput(SerialPort* port, int timeoutMs, bool& ready) {
  ready = false;
  if (!port) return SerialFailed;
  pollfd entry{port->fd, POLLIN, 0};
  int n;
  do {
    n = poll(&entry, 1, timeoutMs);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return statusAfterError(errno, SerialFailed);
  if (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) return SerialGone;
  ready = (entry.revents & POLLIN) != 0;
  return SerialOk;
}

SerialStatus serialRead(SerialPort* port, void* buffer, size_t size, size_t& got) {
  got = 0;
  if (!port) return SerialFailed;
  if (size == 0) return SerialOk;
  ssize_t n;
  do {
    n = read(port->fd, buffer, size);
  } while (n < 0 && errno == EINTR);
  if (n > 0) {
    got = static_cast<size_t>(n);
    return SerialOk;
  }
  // An empty queue reads as EAGAIN (see makeRaw); end of file is a hang-up.
  if (n == 0) return SerialGone;
  if (errno == EAGAIN || errno == EWOULDBLOCK) return SerialOk;
  return statusAfterError(errno, SerialFailed);
}

SerialStatus serialWrite(SerialPort* port, const void* data, size_t size, size_t& written) {
  written = 0;
  if (!port) return SerialFailed;
  const auto deadline = std::chrono::steady_clock::now() + kWriteLimit;
  const char* bytes = static_cast<const char*>(data);
  while (written < size) {
    const ssize_t n = write(port->fd, bytes + written, size - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      return written > 0 ? SerialOk : statusAfterError(errno, SerialFailed);
    }
    if (!waitForRoom(port->fd, deadline)) break;
  }
  return SerialOk;
}

void serialClose(SerialPort* port) {
  if (!port) return;
  // Output the line never took is thrown away, so the close does not wait
  // the driver's closing time (30 s) for it.
  tcflush(port->fd, TCOFLUSH);
  releaseExclusive(port->fd);
  closeDescriptor(port->fd);
  releaseLockFile(port->lockFile);
  delete port;
}
