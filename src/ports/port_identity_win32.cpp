#include "ports/port_names.h"

// Windows gives a USB serial adapter the same COM number each time it is
// plugged in (the number is kept with the device's serial number), so the
// COM number is what finds it again.
std::string portIdentity(int) {
  return "";
}
