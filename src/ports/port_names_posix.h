// Where the Linux port descriptions come from; tests point these at a fake
// tree of their own.
#pragma once

#include <string>

// The sysfs mount: class/tty/<name>/device leads to the device's folder,
// whose USB device above it holds manufacturer, product and serial.
extern std::string SysfsRoot;
// udev's links named after the device's identity, tried when sysfs has no
// USB device above the port.
extern std::string SerialByIdFolder;
