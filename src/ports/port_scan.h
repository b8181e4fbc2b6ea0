// The probes of a scan: each port the system lists is opened once, and the
// window waits for no port's open for long.
#pragma once

#include <array>
#include <cstdint>

#include "ports/port_state.h"

// States by port number: PortFree, PortInUse or PortAbsent (index 0 unused).
using PortStates = std::array<int16_t, MaxPorts + 1>;

// Probes each port in `ports`; the others are PortAbsent. On Windows a port
// whose open does not end within half a second (a wireless link trying to
// reach its device) is PortAbsent too, and is not opened again while that
// open lasts.
PortStates probePorts(const PresentPorts& ports);
