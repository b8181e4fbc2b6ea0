// What the Win32 serial files share about an open port.
#pragma once

#include <windows.h>

#include "transfer/serial_port.h"

struct SerialPort {
  HANDLE handle = INVALID_HANDLE_VALUE;
  int portNumber = 0;
  // Whether the system's device list named the port when it was opened:
  // only a port it named can be found missing from it later.
  bool listedAtOpen = false;
  // When that list was last asked (GetTickCount64).
  ULONGLONG listAskedAt = 0;
};

// The Win32 calls the serial layer makes on a port, in one table. Drivers
// answer them in ways Wine never does (a state refused whatever it holds,
// errors of a pulled adapter): tests put such a driver in its place.
struct CommCalls {
  HANDLE(WINAPI* createFile)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
  DWORD(WINAPI* getFileType)(HANDLE);
  BOOL(WINAPI* getCommState)(HANDLE, LPDCB);
  BOOL(WINAPI* setCommState)(HANDLE, LPDCB);
  BOOL(WINAPI* setCommTimeouts)(HANDLE, LPCOMMTIMEOUTS);
  BOOL(WINAPI* clearCommError)(HANDLE, LPDWORD, LPCOMSTAT);
  BOOL(WINAPI* readFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
};

// Windows' own calls.
extern const CommCalls WindowsComm;
// What the serial layer calls: WindowsComm unless a test put a driver here.
extern CommCalls Comm;

// True once the system's device list, which named the port when it was
// opened, no longer does: the adapter was pulled out even if its driver
// still answers every call on the handle. Asks the list at most once a
// second.
bool droppedFromDeviceList(SerialPort& port);

// A COM port's device state is binary already; what can still alter the
// instrument's bytes is the driver dropping NULs, replacing bytes with
// parity errors, XON/XOFF, reads that stop after a line error and DSR
// gating input. The instrument's line has no flow control either: an
// earlier program's CTS or DSR handshake holds every byte of a cable
// without those lines (and WriteFile with it). `rawState` is the driver's
// state `dcb` with all of that switched off, DTR and RTS raised as plain
// levels; speed, character size, parity and stop bits stay as they are.
DCB rawState(DCB dcb);
// Windows refuses every state whose XON and XOFF characters are equal, and
// some drivers hand out such a state (both 0): the usual DC1 and DC3 in
// their place make it one the driver takes. XON/XOFF stays switched off.
DCB acceptableState(DCB dcb);
SerialStatus makeRaw(HANDLE handle);
// The time-outs the port is used with: reads return at once with what is
// queued, a write gives up after half a second with what the line took.
COMMTIMEOUTS portTimeouts();
