// What the Win32 serial files share about an open port.
#pragma once

#include <windows.h>

#include "transfer/serial_port.h"

struct SerialPort {
  HANDLE handle = INVALID_HANDLE_VALUE;
};

// SerialGone for the errors of a device that went away (an adapter pulled
// out), else `otherwise`.
SerialStatus statusAfterError(DWORD err, SerialStatus otherwise);

// A COM port's device state is binary already; what can still alter the
// instrument's bytes is the driver dropping NULs, replacing bytes with
// parity errors, XON/XOFF, reads that stop after a line error and DSR
// gating input. The instrument's line has no flow control either: an
// earlier program's CTS or DSR handshake holds every byte of a cable
// without those lines (and WriteFile with it). `rawState` is the driver's
// state `dcb` with all of that switched off, DTR and RTS raised as plain
// levels; speed, character size, parity and stop bits stay as they are.
DCB rawState(DCB dcb);
SerialStatus makeRaw(HANDLE handle);
// The time-outs the port is used with: reads return at once with what is
// queued, a write gives up after half a second with what the line took.
COMMTIMEOUTS portTimeouts();
