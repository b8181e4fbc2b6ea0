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
// gating input. This switches those off; speed, character size, parity,
// stop bits and hardware flow control stay as the driver holds them.
SerialStatus makeRaw(HANDLE handle);
