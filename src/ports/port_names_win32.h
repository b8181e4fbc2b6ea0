// Where the Windows port descriptions come from: the devices of the
// COM-port class as SetupAPI lists them. Tests put a fake in its place,
// since Wine lists no such devices.
#pragma once

#include <string>
#include <vector>

struct ComPortDevice {
  std::string portName;      // the device's "PortName", e.g. "COM4"
  std::string friendlyName;  // as Device Manager shows it, "USB Serial Port (COM4)"
};

using ComPortDeviceLister = std::vector<ComPortDevice> (*)();

// The present devices of the Ports class, through SetupAPI.
std::vector<ComPortDevice> setupApiComPorts();

// What portDescription asks: setupApiComPorts unless a test put a fake here.
extern ComPortDeviceLister ListComPortDevices;
