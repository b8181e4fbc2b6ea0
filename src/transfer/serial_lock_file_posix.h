// The UUCP lock file this program holds while a serial device is open, for
// the programs that look for one before they open a port and take no other
// lock (minicom; programs over Qt's serial port): run as root, which the
// exclusive flag does not stop, they would otherwise open the port in the
// middle of a transfer.
//
// The file is "LCK..<device's base name>" in the first writable of /run/lock
// and /var/lock. Its content is read as a live lock both ways those
// programs read it: minicom takes the PID as text from the start of the
// file and asks kill(pid, 0); Qt's lock file takes the first line as the
// PID, the second as the program's name (it must be the name of the running
// program behind that PID), the third as the host's name. Qt also counts a
// lock file older than 30 s as stale, unless it cannot take a flock on it
// to remove it: the file is kept open under an exclusive flock.
#pragma once

#include <string>

#include "transfer/serial_port.h"

struct SerialLockFile {
  std::string path;  // "" while none is held
  int fd = -1;
};

// Takes the lock file for `device` (its resolved path). SerialInUse when a
// live process other than this one holds it; a stale one (its process gone)
// is replaced. SerialOk without a lock file when no lock folder can be
// written or the file cannot be made: the lock file is a courtesy to other
// programs and never the reason an open fails.
SerialStatus takeLockFile(const std::string& device, SerialLockFile& lock);
// Removes the lock file, if it is still ours, and closes it.
void releaseLockFile(SerialLockFile& lock);
