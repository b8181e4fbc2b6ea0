// Which COM ports exist on Windows, from the registry's map of serial
// devices: a fake map (Wine's does not follow the ports a test publishes),
// then the real one, which must answer without opening anything.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ports/port_names_win32.h"
#include "ports/port_presence.h"
#include "ports/port_presence_win32.h"

namespace {

std::vector<std::string> serialComm() {
  return {"COM4", "com12", "COM100", "COM0", "COM101", "LPT1", "COM3x", "COM", "COM007"};
}

}  // namespace

TEST(PortPresenceWin32, ThePortsOfTheMapAndNothingElse) {
  ReadSerialDeviceMap = serialComm;
  PresentPorts expected;
  for (int n : {4, 7, 12, 100}) expected.set(static_cast<size_t>(n));
  EXPECT_EQ(presentPorts(), expected);
}

std::vector<ComPortDevice> portsClass() {
  return {{"COM9", "Standard Serial over Bluetooth link (COM9)"}, {"COM4", ""}};
}

// A driver that writes no device map entry still has its port listed.
TEST(PortPresenceWin32, ThePortsOfTheMapAndOfTheComPortClass) {
  ReadSerialDeviceMap = serialComm;
  ListComPortDevices = portsClass;
  PresentPorts expected;
  for (int n : {4, 7, 9, 12, 100}) expected.set(static_cast<size_t>(n));
  EXPECT_EQ(presentPorts(), expected);
}

TEST(PortPresenceWin32, TheRegistrysMapIsRead) {
  for (const std::string& name : registrySerialDeviceMap()) EXPECT_FALSE(name.empty());
  ReadSerialDeviceMap = registrySerialDeviceMap;
  EXPECT_FALSE(presentPorts().test(0));
}
