// Port discovery's state: the list of ports found and the chosen one.
// GUI thread only.
#pragma once

#include <cstdint>
#include <string>

enum PortState : int16_t { PortAbsent = 0, PortFree = 1, PortInUse = 2 };

struct PortEntry {
  std::string text;        // "COM 3", "COM 5 in use"
  int16_t portNumber = 0;  // 1..100
  int16_t state = PortAbsent;
};

constexpr int MaxPorts = 100;

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
