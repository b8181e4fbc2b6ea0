// A Linux program that Windows tests start under Wine: it plays the
// instrument on a pseudo-terminal published to Wine as COMn, and takes its
// orders over a TCP connection to the test on 127.0.0.1.
//
//   pty_line <port number> <tcp port>
//
// The device side of the pseudo-terminal becomes $WINEPREFIX/dosdevices/comN
// (a symbolic link), which is what Wine opens for \\.\COMn. Orders, one a
// line, each answered with one line:
//   send <hex>   the instrument sends these bytes        -> ok | fail
//   received     everything the program has sent so far  -> <hex>
//   clear        forget what the program has sent         -> ok
//   queued       bytes waiting in the program's input     -> <count>
//   line         the line settings the program left       -> speed .. csize ..
//   hangup       the instrument goes away (an adapter pulled out): the
//                line is hung up and COMn disappears          -> ok
// The link goes and the program ends when the test closes the connection.
//
// Built with the host's compiler, not the cross compiler: it is a Linux
// program. It uses nothing of the project's.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Line {
  int master = -1;
  // The instrument's own descriptor of the device: keeps the line alive
  // between the program's opens and shows the program's input queue.
  int keeper = -1;
  std::string link;
  std::string received;
};

[[noreturn]] void die(const char* what) {
  std::fprintf(stderr, "pty_line: %s: %s\n", what, std::strerror(errno));
  std::exit(1);
}

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char c : bytes) {
    text += digits[c >> 4];
    text += digits[c & 15];
  }
  return text;
}

bool unhex(const std::string& text, std::string& bytes) {
  if (text.size() % 2) return false;
  for (size_t i = 0; i < text.size(); i += 2) {
    const char pair[3] = {text[i], text[i + 1], 0};
    char* end = nullptr;
    const long value = std::strtol(pair, &end, 16);
    if (*end) return false;
    bytes += static_cast<char>(value);
  }
  return true;
}

void collect(Line& line) {
  if (line.master < 0) return;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(line.master, buffer, sizeof buffer);
    if (n <= 0) return;
    line.received.append(buffer, static_cast<size_t>(n));
  }
}

bool sendAll(Line& line, const std::string& bytes) {
  size_t done = 0;
  for (int spins = 0; done < bytes.size() && spins < 5000; ++spins) {
    const ssize_t n = write(line.master, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    collect(line);
    usleep(1000);
  }
  return done == bytes.size();
}

int speedOf(speed_t code) {
  switch (code) {
    case B9600:
      return 9600;
    case B19200:
      return 19200;
    case B38400:
      return 38400;
    case B115200:
      return 115200;
    default:
      return -static_cast<int>(code);
  }
}

int dataBitsOf(tcflag_t cflag) {
  switch (cflag & CSIZE) {
    case CS5:
      return 5;
    case CS6:
      return 6;
    case CS7:
      return 7;
    default:
      return 8;
  }
}

std::string lineSettings(const Line& line) {
  termios tio{};
  if (tcgetattr(line.keeper, &tio) != 0) return "fail";
  char text[256];
  std::snprintf(text, sizeof text,
                "speed %d csize %d parenb %d cstopb %d inpck %d icanon %d echo %d opost %d "
                "ixon %d icrnl %d",
                speedOf(cfgetospeed(&tio)), dataBitsOf(tio.c_cflag), (tio.c_cflag & PARENB) ? 1 : 0,
                (tio.c_cflag & CSTOPB) ? 1 : 0, (tio.c_iflag & INPCK) ? 1 : 0,
                (tio.c_lflag & ICANON) ? 1 : 0, (tio.c_lflag & ECHO) ? 1 : 0,
                (tio.c_oflag & OPOST) ? 1 : 0, (tio.c_iflag & IXON) ? 1 : 0,
                (tio.c_iflag & ICRNL) ? 1 : 0);
  return text;
}

std::string answer(Line& line, const std::string& order) {
  collect(line);
  if (order.rfind("send ", 0) == 0) {
    std::string bytes;
    if (!unhex(order.substr(5), bytes)) return "fail";
    return sendAll(line, bytes) ? "ok" : "fail";
  }
  if (order == "received") return hex(line.received);
  if (order == "clear") {
    line.received.clear();
    return "ok";
  }
  if (order == "queued") {
    int queued = 0;
    if (ioctl(line.keeper, FIONREAD, &queued) != 0) return "fail";
    return std::to_string(queued);
  }
  if (order == "line") return lineSettings(line);
  if (order == "hangup") {
    unlink(line.link.c_str());
    close(line.keeper);
    close(line.master);
    line.keeper = -1;
    line.master = -1;
    return "ok";
  }
  return "fail";
}

void openLine(Line& line, int portNumber) {
  line.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (line.master < 0 || grantpt(line.master) != 0 || unlockpt(line.master) != 0) die("openpt");
  const char* device = ptsname(line.master);
  if (!device) die("ptsname");
  line.keeper = open(device, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (line.keeper < 0) die("open device");
  // A line nobody configured: cooked, echoing, 9600 baud, two stop bits, so
  // a program that fails to set up its line shows it.
  termios tio{};
  if (tcgetattr(line.keeper, &tio) != 0) die("tcgetattr");
  cfsetospeed(&tio, B9600);
  cfsetispeed(&tio, B9600);
  tio.c_cflag |= CSTOPB;
  if (tcsetattr(line.keeper, TCSANOW, &tio) != 0) die("tcsetattr");
  const char* prefix = std::getenv("WINEPREFIX");
  const char* home = std::getenv("HOME");
  const std::string folder =
      (prefix && *prefix ? std::string(prefix) : std::string(home ? home : "") + "/.wine") +
      "/dosdevices/";
  line.link = folder + "com" + std::to_string(portNumber);
  unlink(line.link.c_str());
  if (symlink(device, line.link.c_str()) != 0) die("publish the device");
}

int connectBack(int tcpPort) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) die("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(tcpPort));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) die("connect");
  return fd;
}

bool writeLine(int fd, const std::string& text) {
  const std::string line = text + "\n";
  return write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pty_line <port number> <tcp port>\n");
    return 2;
  }
  Line line;
  openLine(line, std::atoi(argv[1]));
  const int control = connectBack(std::atoi(argv[2]));
  std::string pending;
  bool open = writeLine(control, "ready");
  while (open) {
    pollfd entries[2] = {{control, POLLIN, 0}, {line.master, POLLIN, 0}};
    if (poll(entries, line.master < 0 ? 1 : 2, -1) < 0 && errno != EINTR) break;
    if (entries[1].revents & POLLIN) collect(line);
    if (!(entries[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    char buffer[4096];
    const ssize_t n = read(control, buffer, sizeof buffer);
    if (n <= 0) break;
    pending.append(buffer, static_cast<size_t>(n));
    for (size_t end; open && (end = pending.find('\n')) != std::string::npos;) {
      open = writeLine(control, answer(line, pending.substr(0, end)));
      pending.erase(0, end + 1);
    }
  }
  unlink(line.link.c_str());
  return 0;
}
