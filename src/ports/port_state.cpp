#include "ports/port_state.h"

PortEntry PortList[MaxPorts + 1];
int16_t PortCount = 0;
int16_t ChosenPortIndex = 0;
int16_t PickedPortIndex = 0;
int16_t SavedPortNumber = 0;
std::string SettingsPath;
PresentPorts KnownPorts;
