// Port discovery: which COM ports 1 to 100 exist and whether another program
// holds them, shown in the main window's port list, and the user's pick.
// GUI thread only.
#pragma once

#include <cstdint>
#include <string>

// PortAbsent, PortFree or PortInUse for COM `portNumber`, through the same
// number-to-device mapping that the serial link opens.
int16_t probePort(int portNumber);

// Probes the ports the system lists, rebuilds PortList, then fills the list.
void scanPorts();

// When the ports present have changed since the last scan or refill and no
// transfer runs: rebuilds PortList and fills the list as a scan would,
// probing (opening) only the ports that have appeared. Opens nothing when
// nothing changed. Cheap enough to run every second or two.
void followPortChanges();

// Puts PortList into the port list, chooses the entry of SavedPortNumber (no
// port when it is not listed) and shows the port's status.
void fillPortList();

// The user picked list item `index` (zero-based). A free port becomes the
// chosen one and is saved in the settings file; a port in use clears the
// choice. An index that is no item of the list changes nothing.
void onPortPicked(int index);

// What list item `index` (zero-based) is: the adapter's name or the device
// path, for the item's tooltip. "" for no item.
std::string portItemDescription(int index);
