// The Win32 calls under the serial layer, and whether an open port's device
// is still one the system lists.
#include "ports/port_presence.h"
#include "transfer/serial_port_win32.h"

namespace {

// A pulled adapter leaves the list at once; a second is soon enough for a
// person, and the worker asks this only while nothing arrives.
constexpr ULONGLONG kListAskPeriodMs = 1000;

}  // namespace

const CommCalls WindowsComm = {CreateFileW,     GetFileType,    GetCommState, SetCommState,
                               SetCommTimeouts, ClearCommError, ReadFile};

CommCalls Comm = WindowsComm;

bool droppedFromDeviceList(SerialPort& port) {
  if (!port.listedAtOpen) return false;
  const ULONGLONG now = GetTickCount64();
  if (now - port.listAskedAt < kListAskPeriodMs) return false;
  port.listAskedAt = now;
  return !presentPorts().test(static_cast<size_t>(port.portNumber));
}
