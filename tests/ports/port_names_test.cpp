// What each port is, from a fake sysfs tree and by-id folder shaped as the
// kernel and udev make them; the port list keeps the descriptions beside
// its unchanged item texts.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "ports/port_list.h"
#include "ports/port_names.h"
#include "ports/port_names_posix.h"
#include "ports/port_state.h"
#include "support/choice_form.h"
#include "support/pty_instrument.h"

namespace fs = std::filesystem;

namespace {

class PortNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SysfsRoot = temp.path() + "sys";
    SerialByIdFolder = temp.path() + "dev/serial/by-id";
    fs::create_directories(SerialByIdFolder);
  }
  // A device folder under sys/devices with the given attribute files.
  void device(const std::string& folder,
              std::initializer_list<std::pair<const char*, const char*>> attributes) {
    const fs::path path = fs::path(SysfsRoot) / "devices" / folder;
    fs::create_directories(path);
    for (const auto& [name, value] : attributes) std::ofstream(path / name) << value << "\n";
  }
  // sys/class/tty/<name>/device, a relative link as the kernel makes it.
  void tty(const std::string& name, const std::string& deviceFolder) {
    const fs::path folder = fs::path(SysfsRoot) / "class/tty" / name;
    fs::create_directories(folder);
    fs::create_directory_symlink("../../../devices/" + deviceFolder, folder / "device");
  }

  ChoiceTempFolder temp;
  PortFolder ports;
};

}  // namespace

TEST_F(PortNamesTest, EachKindOfPortIsDescribedByWhatTheSystemKnowsOfIt) {
  const std::string usb = "pci0000:00/0000:00:14.0/usb1/1-2";
  device(usb, {{"idVendor", "0403"},
               {"manufacturer", "FTDI"},
               {"product", "FT232R USB UART"},
               {"serial", "A50285BI"}});
  device(usb + "/1-2:1.0/ttyUSB0/tty/ttyUSB0", {});
  tty("ttyUSB0", usb + "/1-2:1.0/ttyUSB0/tty/ttyUSB0");
  // A modem-class adapter that gives its product name only; the tty hangs
  // below the interface.
  const std::string acm = "pci0000:00/0000:00:14.0/usb1/1-3";
  device(acm, {{"idVendor", "2341"}, {"product", "Gauge\tLink "}});
  device(acm + "/1-3:1.0", {});
  tty("ttyACM0", acm + "/1-3:1.0");
  // An on-board UART: no USB device above it.
  device("platform/serial8250", {});
  tty("ttyS0", "platform/serial8250");
  // Known to udev's by-id links only, relative as udev makes them.
  fs::create_symlink("../../ttyUSB1",
                     fs::path(SerialByIdFolder) / "usb-Acme_Gauge_0042-if00-port0");
  PtyInstrument pty(ports, 9);

  ports.publish(1, "/dev/ttyUSB0");
  ports.publish(2, "/dev/ttyACM0");
  ports.publish(3, "/dev/ttyS0");
  ports.publish(4, temp.path() + "dev/ttyUSB1");
  const struct {
    int port;
    std::string expected;
  } cases[] = {
      {1, "FTDI FT232R USB UART, serial number A50285BI (/dev/ttyUSB0)"},
      {2, "GaugeLink (/dev/ttyACM0)"},
      {3, "/dev/ttyS0"},
      {4, "usb-Acme_Gauge_0042-if00-port0 (" + temp.path() + "dev/ttyUSB1)"},
      {9, fs::canonical(pty.devicePath()).string()},
      {10, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(portDescription(c.port), c.expected) << "COM " << c.port;
}

TEST_F(PortNamesTest, TheScanKeepsEachPortsDescriptionBesideItsText) {
  PtyInstrument first(ports, 3);
  PtyInstrument second(ports, 12);
  makeChoiceForm();
  scanPorts();
  ASSERT_EQ(ezListItems(MainForm, IdPortList), (std::vector<std::string>{"COM 3", "COM 12"}));
  EXPECT_EQ(portItemDescription(0), fs::canonical(first.devicePath()).string());
  EXPECT_EQ(portItemDescription(1), fs::canonical(second.devicePath()).string());
  EXPECT_EQ(portItemDescription(2), "");
  EXPECT_EQ(portItemDescription(-1), "");
}
