// The platform's serial operations. One implementation per platform
// (serial_port_posix.cpp here); the serial link and the port probe use only
// what is declared here.
//
// Every call returns a SerialStatus:
//   SerialOk       the operation did what was asked;
//   SerialAbsent   no such port: nothing mapped to the number, no device
//                  there, or an object that cannot be a serial port;
//   SerialInUse    the port exists but another program holds it (or the
//                  open was refused for permission);
//   SerialRefused  the device does not support the requested setting; the
//                  previous settings stay in force;
//   SerialGone     the device went away (hang-up, unplugged adapter);
//   SerialFailed   any other failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum SerialStatus : int {
  SerialOk = 0,
  SerialAbsent,
  SerialInUse,
  SerialRefused,
  SerialGone,
  SerialFailed,
};

// Line error flags as the link understands them.
enum SerialLineError : uint32_t {
  SerialErrRxOver = 0x0001,
  SerialErrOverrun = 0x0002,
  SerialErrParity = 0x0004,
  SerialErrFrame = 0x0008,
  SerialErrBreak = 0x0010,
  SerialErrTxFull = 0x0100,
  SerialErrIo = 0x0400,
};

enum SerialParity : int { ParityNone = 0, ParityOdd = 1, ParityEven = 2 };

struct SerialLine {
  int baudRate = 0;
  int dataBits = 8;
  int parity = ParityNone;
  bool parityCheck = false;
  // 0: one stop bit, 1: one and a half, 2: two.
  int stopBitsCode = 0;
};

struct SerialPort;  // an open port, owned by whoever opened it

// The device path of COM `portNumber`, or "" when nothing is mapped to it.
// MORVANE_PORT_DIR, when set, names a folder whose entries "COMn" are the
// whole mapping; otherwise a fixed table of the usual Linux devices.
std::string serialDevicePath(int portNumber);

// Opens the port exclusively, in raw mode, discarding input queued before.
SerialStatus serialOpen(int portNumber, SerialPort** port);
// The same for a port that went away and is back during a transfer: what
// the instrument sent since is its data, so queued input is kept.
SerialStatus serialReopen(int portNumber, SerialPort** port);
// Absent, in use or free (SerialOk); opens and closes the port without
// disturbing a holder and leaves no lock behind.
SerialStatus serialProbe(int portNumber);
SerialStatus serialGetLine(SerialPort* port, SerialLine& line);
SerialStatus serialSetLine(SerialPort* port, const SerialLine& line);
SerialStatus serialGetQueues(SerialPort* port, uint32_t& rxSize, uint32_t& txSize);
SerialStatus serialSetQueues(SerialPort* port, uint32_t rxSize, uint32_t txSize);
// Bytes in the driver's input queue, and the line errors since the last call.
SerialStatus serialPoll(SerialPort* port, uint32_t& waiting, uint32_t& errors);
// Sleeps until input can be read or `timeoutMs` has passed; `ready` tells
// which. SerialGone (with `ready` false) when the device has gone, which
// ends the wait at once.
SerialStatus serialWaitInput(SerialPort* port, int timeoutMs, bool& ready);
SerialStatus serialRead(SerialPort* port, void* buffer, size_t size, size_t& got);
// Writes what the line takes within half a second; `written` tells how much.
SerialStatus serialWrite(SerialPort* port, const void* data, size_t size, size_t& written);
// Discards output the line has not taken, then closes.
void serialClose(SerialPort* port);
