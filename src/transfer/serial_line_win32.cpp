// Line settings and queue sizes over the Win32 device state (DCB).
//
// SerialLine's codes are the DCB's own: parity 0 none, 1 odd, 2 even; stop
// bits 0 one, 1 one and a half, 2 two. What a port can do is the driver's
// to decide, so every request goes to it as it stands.
#include "transfer/serial_port_win32.h"

SerialStatus serialGetLine(SerialPort* port, SerialLine& line) {
  if (!port) return SerialFailed;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!Comm.getCommState(port->handle, &dcb)) return SerialFailed;
  line.baudRate = static_cast<int>(dcb.BaudRate);
  line.dataBits = dcb.ByteSize;
  line.parity = dcb.Parity;
  line.parityCheck = dcb.fParity != 0;
  line.stopBitsCode = dcb.StopBits;
  return SerialOk;
}

SerialStatus serialSetLine(SerialPort* port, const SerialLine& line) {
  if (!port) return SerialFailed;
  DCB before{};
  before.DCBlength = sizeof before;
  if (!Comm.getCommState(port->handle, &before)) return SerialFailed;
  DCB wanted = acceptableState(before);
  wanted.BaudRate = static_cast<DWORD>(line.baudRate);
  wanted.ByteSize = static_cast<BYTE>(line.dataBits);
  wanted.Parity = static_cast<BYTE>(line.parity);
  wanted.fParity = line.parityCheck ? TRUE : FALSE;
  wanted.StopBits = static_cast<BYTE>(line.stopBitsCode);
  if (Comm.setCommState(port->handle, &wanted)) return SerialOk;
  // A driver may have taken part of the state before it refused the rest.
  DCB previous = acceptableState(before);
  Comm.setCommState(port->handle, &previous);
  return SerialRefused;
}

SerialStatus serialGetQueues(SerialPort* port, uint32_t& rxSize, uint32_t& txSize) {
  if (!port) return SerialFailed;
  COMMPROP properties{};
  if (!GetCommProperties(port->handle, &properties)) return SerialFailed;
  rxSize = properties.dwCurrentRxQueue;
  txSize = properties.dwCurrentTxQueue;
  return SerialOk;
}

SerialStatus serialSetQueues(SerialPort* port, uint32_t rxSize, uint32_t txSize) {
  if (!port) return SerialFailed;
  return SetupComm(port->handle, rxSize, txSize) ? SerialOk : SerialFailed;
}
