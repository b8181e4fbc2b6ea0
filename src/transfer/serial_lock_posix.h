// Telling whether another program holds a serial device, and holding one.
//
// Linux has no single convention for this, so the layer honours the three in
// use and any one of them held by someone else means "in use":
//   - flock on the device: tio, picocom, GTKTerm and pyserial lock this way;
//   - the kernel's exclusive flag (TIOCEXCL): refuses later opens outright,
//     except to root, which is why it cannot be the only one;
//   - UUCP lock files "LCK..<name>" holding the owner's PID, left in
//     /var/lock or /run/lock by minicom and Qt-based programs, which take no
//     flock.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

#include "transfer/serial_port.h"

// Lock file names a device may be locked under: its name below /dev with
// '/' turned into '_' (what Qt writes) and its plain base name (what
// lockdev and minicom write). `device` is the resolved path, e.g. /dev/pts/3.
std::vector<std::string> lockFileNames(const std::string& device);

// The PID a lock file's content names, in the ASCII form ("%10d\n", or a PID
// on the first line) or the old 4-byte binary form; 0 when it names none.
pid_t lockFilePid(std::string_view content);

// True when a lock file for the device names a live process other than this
// one. `path` may be a symlink to the device.
bool lockFileHeldByOther(const std::string& path);

// Takes the device for this program: an exclusive flock and the exclusive
// flag. SerialInUse when another opener already holds either.
SerialStatus takeExclusive(int fd);
// Gives up what takeExclusive took (closing would drop the flock, but the
// flag stays on the tty while any other descriptor has it open).
void releaseExclusive(int fd);
// SerialInUse when another opener holds a flock or the exclusive flag;
// leaves nothing behind once `fd` is closed.
SerialStatus checkNotHeld(int fd);
