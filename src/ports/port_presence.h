// Which COM ports exist now, found without opening any: opening a tty
// toggles its modem lines, which resets some instruments.
#pragma once

#include "ports/port_state.h"

// The ports with a device now. Asks the system's device tables only (Linux:
// the device nodes the COM numbers map to; Windows: the registry's map of
// serial devices and SetupAPI's COM-port class). A scan opens only these.
PresentPorts presentPorts();
