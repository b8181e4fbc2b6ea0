#include "ports/port_list.h"
#include "ports/port_scan.h"

// A tty opens without waiting for its line (the serial layer opens it
// non-blocking), so the ports are probed one after the other.
PortStates probePorts(const PresentPorts& ports) {
  PortStates states{};
  for (int n = 1; n <= MaxPorts; ++n) {
    if (ports.test(static_cast<size_t>(n))) states[static_cast<size_t>(n)] = probePort(n);
  }
  return states;
}
