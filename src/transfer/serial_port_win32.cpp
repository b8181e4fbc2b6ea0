// The serial layer over Win32: COM port names, exclusive open, the probe,
// and the byte traffic of an open port.
#include <algorithm>

#include "app/win32_text.h"
#include "ports/port_presence.h"
#include "transfer/serial_port_win32.h"

namespace {

constexpr int kHighestPort = 100;
// A free port is kept open this long before the probe closes it again.
constexpr DWORD kProbePauseMs = 10;
constexpr DWORD kWriteLimitMs = 500;
constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;
// Every line error flag the link knows; the driver may report others.
constexpr DWORD kKnownErrors = SerialErrRxOver | SerialErrOverrun | SerialErrParity |
                               SerialErrFrame | SerialErrBreak | SerialErrTxFull | SerialErrIo;

// Drivers say "another program holds it" in three ways.
bool heldByAnother(DWORD err) {
  return err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION || err == ERROR_BUSY;
}

// Share mode 0: Windows itself refuses every other opener while the port is
// open, and refuses us while another program has it.
SerialStatus openDevice(int portNumber, HANDLE& handle) {
  handle = INVALID_HANDLE_VALUE;
  const std::string path = serialDevicePath(portNumber);
  if (path.empty()) return SerialAbsent;
  handle = Comm.createFile(widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) return SerialOk;
  return heldByAnother(GetLastError()) ? SerialInUse : SerialAbsent;
}

// A name under \\.\ may lead to a file on a disk. Anything else may be a
// port: drivers report a character device, and some an unknown type.
SerialStatus checkNotADisk(HANDLE handle) {
  return Comm.getFileType(handle) == FILE_TYPE_DISK ? SerialAbsent : SerialOk;
}

// The probe's test that the object is a serial port: it has a line state.
// The modem lines are no test: ports without them (virtual ones, some
// adapters) fail that query.
SerialStatus checkSerialPort(HANDLE handle) {
  if (checkNotADisk(handle) != SerialOk) return SerialAbsent;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  return Comm.getCommState(handle, &dcb) ? SerialOk : SerialAbsent;
}

// Many drivers start with no write time-out at all: a write the line does
// not take would then hold the window's thread for good. A driver that
// refuses keeps its own; the link writes once, at the open.
void setTimeouts(HANDLE handle) {
  COMMTIMEOUTS timeouts = portTimeouts();
  Comm.setCommTimeouts(handle, &timeouts);
}

void closeHandle(HANDLE handle) {
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

}  // namespace

DCB rawState(DCB dcb) {
  dcb.fBinary = TRUE;
  dcb.fNull = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fTXContinueOnXoff = TRUE;
  dcb.fAbortOnError = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  return acceptableState(dcb);
}

DCB acceptableState(DCB dcb) {
  if (dcb.XonChar == dcb.XoffChar) {
    dcb.XonChar = kXon;
    dcb.XoffChar = kXoff;
  }
  return dcb;
}

SerialStatus makeRaw(HANDLE handle) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!Comm.getCommState(handle, &dcb)) return SerialFailed;
  dcb = rawState(dcb);
  return Comm.setCommState(handle, &dcb) ? SerialOk : SerialRefused;
}

COMMTIMEOUTS portTimeouts() {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = kWriteLimitMs;
  return timeouts;
}

// Windows names every COM port \\.\COMn; the plain name "COMn" reaches only
// ports 1 to 9. The link and the probe use the same name.
std::string serialDevicePath(int portNumber) {
  if (portNumber < 1 || portNumber > kHighestPort) return "";
  return "\\\\.\\COM" + std::to_string(portNumber);
}

namespace {

// Once the device is open the link is up: a driver that refuses a setting
// keeps its own for it, and the transfer runs on what the line has. A port
// opened again after it was gone keeps what the instrument sent meanwhile.
SerialStatus openPort(int portNumber, SerialPort** port, bool keepInput) {
  if (!port) return SerialFailed;
  *port = nullptr;
  HANDLE handle = INVALID_HANDLE_VALUE;
  SerialStatus status = openDevice(portNumber, handle);
  if (status == SerialOk) status = checkNotADisk(handle);
  if (status != SerialOk) {
    closeHandle(handle);
    return status;
  }
  makeRaw(handle);
  setTimeouts(handle);
  if (!keepInput) PurgeComm(handle, PURGE_RXABORT | PURGE_RXCLEAR);
  *port = new SerialPort;
  (*port)->handle = handle;
  (*port)->portNumber = portNumber;
  (*port)->listedAtOpen = presentPorts().test(static_cast<size_t>(portNumber));
  (*port)->listAskedAt = GetTickCount64();
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
  HANDLE handle = INVALID_HANDLE_VALUE;
  SerialStatus status = openDevice(portNumber, handle);
  if (status == SerialOk) status = checkSerialPort(handle);
  if (status == SerialOk) Sleep(kProbePauseMs);
  closeHandle(handle);
  return status;
}

// On a handle that is open, a query or a read fails only when the device
// behind it has gone, whatever error its driver gives for it. Some drivers
// do not even fail: the pulled adapter's port answers "nothing queued" for
// good, and only the system's device list tells.
SerialStatus serialPoll(SerialPort* port, uint32_t& waiting, uint32_t& errors) {
  waiting = 0;
  errors = 0;
  if (!port) return SerialFailed;
  DWORD flags = 0;
  COMSTAT stat{};
  if (!Comm.clearCommError(port->handle, &flags, &stat)) return SerialGone;
  waiting = stat.cbInQue;
  errors = flags & kKnownErrors;
  if (waiting == 0 && errors == 0 && droppedFromDeviceList(*port)) return SerialGone;
  return SerialOk;
}

// Without overlapped I/O a port has no wait for input with a time limit:
// the pause is slept whole and the queue looked at after it, as a plain
// idle poll does. At the instrument's line rate one pause never fills the
// driver's queue. Looking clears the line error flags; a wait that finds
// one says nothing is ready, as the poll it stands in for would have.
SerialStatus serialWaitInput(SerialPort* port, int timeoutMs, bool& ready) {
  ready = false;
  uint32_t waiting = 0;
  uint32_t errors = 0;
  SerialStatus status = serialPoll(port, waiting, errors);
  if (status == SerialOk && errors == 0 && waiting == 0) {
    Sleep(static_cast<DWORD>(std::max(0, timeoutMs)));
    status = serialPoll(port, waiting, errors);
  }
  ready = status == SerialOk && errors == 0 && waiting > 0;
  return status;
}

SerialStatus serialRead(SerialPort* port, void* buffer, size_t size, size_t& got) {
  got = 0;
  if (!port) return SerialFailed;
  if (size == 0) return SerialOk;
  DWORD read = 0;
  const DWORD asked = static_cast<DWORD>(std::min<size_t>(size, MAXDWORD));
  if (!Comm.readFile(port->handle, buffer, asked, &read, nullptr)) return SerialGone;
  // With the read time-outs of serialOpen an empty queue reads as 0 bytes.
  got = read;
  return SerialOk;
}

SerialStatus serialWrite(SerialPort* port, const void* data, size_t size, size_t& written) {
  written = 0;
  if (!port) return SerialFailed;
  if (size == 0) return SerialOk;
  DWORD done = 0;
  const DWORD asked = static_cast<DWORD>(std::min<size_t>(size, MAXDWORD));
  if (!WriteFile(port->handle, data, asked, &done, nullptr)) {
    // A write the line did not take in time is no sign of a device gone.
    const DWORD err = GetLastError();
    return err == ERROR_SEM_TIMEOUT || err == ERROR_TIMEOUT ? SerialFailed : SerialGone;
  }
  written = done;
  return SerialOk;
}

void serialClose(SerialPort* port) {
  if (!port) return;
  // Output the line never took is thrown away, so the close does not wait
  // for it.
  PurgeComm(port->handle, PURGE_TXABORT | PURGE_TXCLEAR);
  closeHandle(port->handle);
  delete port;
}
