// What each COM port is, as the user knows the device behind it: on Linux
// the USB adapter's maker, product and serial number, on Windows the name
// Device Manager shows. A port the system has no such name for is given
// by its device path. Reads system tables only; opens no port.
#pragma once

#include <string>

// The description of COM `portNumber`; "" when nothing is mapped to it.
std::string portDescription(int portNumber);
// What tells the device behind COM `portNumber` from every other one, to
// find it again after it was unplugged: a USB adapter's serial number (with
// its maker and product) or its by-id link; "" for a port without one,
// which is known by its COM number alone.
std::string portIdentity(int portNumber);
