#include <sys/stat.h>

#include <string>

#include "ports/port_presence.h"
#include "transfer/serial_port.h"

// A stat of each mapped name: a character device there is a port that may
// be present. Whether it answers as a serial port only a probe can tell,
// and that opens it.
PresentPorts presentPorts() {
  PresentPorts present;
  for (int n = 1; n <= MaxPorts; ++n) {
    const std::string path = serialDevicePath(n);
    struct stat info {};
    if (!path.empty() && stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode)) present.set(n);
  }
  return present;
}
