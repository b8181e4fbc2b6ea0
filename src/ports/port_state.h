// Port discovery's state: the list of ports found and the chosen one.
// GUI thread only.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>

enum PortState : int16_t { PortAbsent = 0, PortFree = 1, PortInUse = 2 };

struct PortEntry {
  std::string text;        // "COM 3", "COM 5 in use"
  int16_t portNumber = 0;  // 1..100
  int16_t state = PortAbsent;
  // What the port is (the adapter's name, or the device path), for the
  // list's tooltips; the list's texts stay as they are.
  std::string description{};
};

constexpr int MaxPorts = 100;

// Bit n is set when COM n has a device; bit 0 is unused.
using PresentPorts = std::bitset<MaxPorts + 1>;

// Entries 1..PortCount are PortList[1..PortCount]; slot 0 is unused.
extern PortEntry PortList[MaxPorts + 1];
extern int16_t PortCount;
// The selected entry's number, 0 when no port is chosen.
extern int16_t ChosenPortIndex;
// The entry the user picked last.
extern int16_t PickedPortIndex;
// The port number kept in the settings file.
extern int16_t SavedPortNumber;
// Full path of the settings file "MorvTran.ini".
extern std::string SettingsPath;
// The ports that had a device at the last scan or refill; a refill
// probes only those that have appeared since.
extern PresentPorts KnownPorts;
