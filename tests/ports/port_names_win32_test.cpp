// What each COM port is on Windows: the friendly name of its device in the
// Ports class, from a fake that answers as SetupAPI does (Wine lists no
// such devices), else the port's device name.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ports/port_names.h"
#include "ports/port_names_win32.h"

namespace {

std::vector<ComPortDevice> deviceManager() {
  return {
      {"COM4", "USB Serial Port (COM4)"}, {"com7", "Communications Port (COM7)"}, {"COM12", ""}};
}

}  // namespace

TEST(PortNamesWin32, TheDevicesFriendlyNameElseItsDeviceName) {
  ListComPortDevices = deviceManager;
  EXPECT_EQ(portDescription(4), "USB Serial Port (COM4)");
  EXPECT_EQ(portDescription(7), "Communications Port (COM7)");
  EXPECT_EQ(portDescription(12), "\\\\.\\COM12");
  EXPECT_EQ(portDescription(3), "\\\\.\\COM3");
  EXPECT_EQ(portDescription(40), "\\\\.\\COM40");
  EXPECT_EQ(portDescription(0), "");
}

// The real list under Wine: whatever it holds, every port gets a name.
TEST(PortNamesWin32, TheSystemsListAnswers) {
  ListComPortDevices = setupApiComPorts;
  for (const ComPortDevice& device : setupApiComPorts()) EXPECT_FALSE(device.portName.empty());
  EXPECT_FALSE(portDescription(5).empty());
}
