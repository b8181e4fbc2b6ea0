// The registry's map of serial devices behind presentPorts on Windows (with
// SetupAPI's COM-port class, port_names_win32.h), and the seam tests use in
// its place to show a driver's map.
#pragma once

#include <string>
#include <vector>

using SerialDeviceMapReader = std::vector<std::string> (*)();

// The port names ("COM4") under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: the
// serial devices that are present now.
std::vector<std::string> registrySerialDeviceMap();

// What presentPorts reads: registrySerialDeviceMap unless a test put a fake here.
extern SerialDeviceMapReader ReadSerialDeviceMap;
