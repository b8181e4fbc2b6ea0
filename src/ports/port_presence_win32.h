// The registry's map of serial devices behind presentPorts on Windows, and
// the seam tests use in its place: Wine's map does not follow the ports a
// test publishes.
#pragma once

#include <string>
#include <vector>

using SerialDeviceMapReader = std::vector<std::string> (*)();

// The port names ("COM4") under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: the
// serial devices that are present now.
std::vector<std::string> registrySerialDeviceMap();

// What presentPorts reads: registrySerialDeviceMap unless a test put a fake here.
extern SerialDeviceMapReader ReadSerialDeviceMap;
