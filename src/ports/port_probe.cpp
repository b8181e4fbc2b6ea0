#include "ports/port_list.h"

#include "ports/port_state.h"
#include "transfer/serial_port.h"

int16_t probePort(int portNumber) {
  if (portNumber < 1) return PortAbsent;
  switch (serialProbe(portNumber)) {
    case SerialOk:
      return PortFree;
    case SerialInUse:
      return PortInUse;
    default:
      return PortAbsent;
  }
}
