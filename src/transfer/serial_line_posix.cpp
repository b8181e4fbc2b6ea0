// Line settings and queue sizes over termios.
#include <termios.h>

#include <cerrno>

#include "transfer/serial_port_posix.h"

namespace {

struct BaudCode {
  int baud;
  speed_t code;
};

constexpr BaudCode kBaudCodes[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool baudCode(int baud, speed_t& code) {
  for (const BaudCode& entry : kBaudCodes) {
    if (entry.baud == baud) {
      code = entry.code;
      return true;
    }
  }
  return false;
}

int baudOf(speed_t code) {
  for (const BaudCode& entry : kBaudCodes) {
    if (entry.code == code) return entry.baud;
  }
  return 0;
}

tcflag_t sizeFlag(int dataBits) {
  switch (dataBits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
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

// Only what SerialLine describes is compared: drivers are free to adjust
// the rest of the state when it is written.
bool sameLine(const termios& a, const termios& b) {
  constexpr tcflag_t kLineFlags = CSIZE | PARENB | PARODD | CSTOPB;
  return cfgetospeed(&a) == cfgetospeed(&b) && cfgetispeed(&a) == cfgetispeed(&b) &&
         (a.c_cflag & kLineFlags) == (b.c_cflag & kLineFlags) &&
         (a.c_iflag & INPCK) == (b.c_iflag & INPCK);
}

bool lineSupported(const SerialLine& line) {
  speed_t unused;
  // termios has no 1.5 stop bits.
  return baudCode(line.baudRate, unused) && line.dataBits >= 5 && line.dataBits <= 8 &&
         (line.parity == ParityNone || line.parity == ParityOdd || line.parity == ParityEven) &&
         (line.stopBitsCode == 0 || line.stopBitsCode == 2);
}

// The Linux tty input buffer; there are no queue sizes to set.
constexpr uint32_t kTtyBufferSize = 4096;

}  // namespace

SerialStatus makeRaw(int fd) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return statusAfterError(errno, SerialFailed);
  tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                   IXANY | IMAXBEL | IUTF8);
  tio.c_oflag &= ~OPOST;
  tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  // The instrument's line has no flow control. Left on by an earlier
  // program, hardware flow control holds every byte of a cable without a
  // CTS line, and the close then waits the driver's closing time for them.
  tio.c_cflag &= ~CRTSCTS;
  tio.c_cflag |= CREAD | CLOCAL;
  // With the descriptor non-blocking, VMIN 1 makes an empty queue read as
  // EAGAIN, so that a read of nothing means a hang-up (VMIN 0 would read 0).
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (tcsetattr(fd, TCSANOW, &tio) != 0) return statusAfterError(errno, SerialFailed);
  return SerialOk;
}

SerialStatus serialGetLine(SerialPort* port, SerialLine& line) {
  if (!port) return SerialFailed;
  termios tio{};
  if (tcgetattr(port->fd, &tio) != 0) return statusAfterError(errno, SerialFailed);
  line.baudRate = baudOf(cfgetospeed(&tio));
  line.dataBits = dataBitsOf(tio.c_cflag);
  line.parity = !(tio.c_cflag & PARENB)  ? ParityNone
                : (tio.c_cflag & PARODD) ? ParityOdd
                                         : ParityEven;
  line.parityCheck = (tio.c_iflag & INPCK) != 0;
  line.stopBitsCode = (tio.c_cflag & CSTOPB) ? 2 : 0;
  return SerialOk;
}

SerialStatus serialSetLine(SerialPort* port, const SerialLine& line) {
  if (!port) return SerialFailed;
  if (!lineSupported(line)) return SerialRefused;
  termios before{};
  if (tcgetattr(port->fd, &before) != 0) return statusAfterError(errno, SerialFailed);
  termios wanted = before;
  speed_t speed = B0;
  baudCode(line.baudRate, speed);
  cfsetospeed(&wanted, speed);
  cfsetispeed(&wanted, speed);
  wanted.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
  wanted.c_cflag |= sizeFlag(line.dataBits);
  if (line.parity != ParityNone) wanted.c_cflag |= PARENB;
  if (line.parity == ParityOdd) wanted.c_cflag |= PARODD;
  if (line.stopBitsCode == 2) wanted.c_cflag |= CSTOPB;
  if (line.parityCheck) {
    wanted.c_iflag |= INPCK;
  } else {
    wanted.c_iflag &= ~INPCK;
  }
  if (tcsetattr(port->fd, TCSANOW, &wanted) != 0) {
    return statusAfterError(errno, errno == EINVAL ? SerialRefused : SerialFailed);
  }
  // tcsetattr succeeds when any part of the request took effect; a driver
  // that cannot do the rest keeps its own values (a pseudo-terminal stays at
  // 8 data bits, no parity). Such a request is refused as a whole.
  termios after{};
  if (tcgetattr(port->fd, &after) != 0) return statusAfterError(errno, SerialFailed);
  if (!sameLine(after, wanted)) {
    tcsetattr(port->fd, TCSANOW, &before);
    return SerialRefused;
  }
  return SerialOk;
}

SerialStatus serialGetQueues(SerialPort* port, uint32_t& rxSize, uint32_t& txSize) {
  if (!port) return SerialFailed;
  rxSize = kTtyBufferSize;
  txSize = kTtyBufferSize;
  return SerialOk;
}

SerialStatus serialSetQueues(SerialPort* port, uint32_t, uint32_t) {
  return port ? SerialOk : SerialFailed;
}
