// What the POSIX serial files share about an open port.
#pragma once

#include "transfer/serial_counters_posix.h"
#include "transfer/serial_lock_file_posix.h"
#include "transfer/serial_port.h"

struct SerialPort {
  int fd = -1;
  // The error counters at the last poll; none while the driver keeps none.
  SerialErrorCounts lastCounts;
  bool haveCounts = false;
  SerialLockFile lockFile;
};

// SerialGone for the errors of a device that went away, else `otherwise`.
SerialStatus statusAfterError(int err, SerialStatus otherwise);

// The line as a Linux tty starts it is cooked: echo, canonical lines, CR/LF
// translation, XON/XOFF and output post-processing, all of which would alter
// the instrument's bytes or echo them back to it. This makes it 8-bit clean
// with the receiver on, modem lines ignored for reading, no flow control of
// either kind and reads that never wait (the descriptor is non-blocking);
// speed, character size, parity and stop bits stay as the driver holds them.
SerialStatus makeRaw(int fd);
