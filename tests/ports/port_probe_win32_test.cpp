// The port probe on Windows, under Wine: what the port list makes of a
// port that is there, one that is not, and a name that leads to something
// other than a serial port.
#include <windows.h>

#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "ports/port_list.h"
#include "ports/port_state.h"
#include "support/pty_line_win32.h"

namespace {

constexpr int kPort = 51;
constexpr int kNotAPort = 52;

std::string environment(const char* name) {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : "";
}

}  // namespace

TEST(PortProbeWin32, PresentAbsentAndNotASerialPort) {
  std::string why;
  if (!PtyLine::available(why)) GTEST_SKIP() << why;
  const std::string prefix = environment("WINEPREFIX");
  if (prefix.empty()) GTEST_SKIP() << "WINEPREFIX does not name the Wine prefix (CTest sets it)";
  PtyLine instrument(kPort);
  EXPECT_EQ(probePort(kPort), PortFree);
  EXPECT_EQ(probePort(kPort + 10), PortAbsent);
  EXPECT_EQ(probePort(0), PortAbsent);

  // COM52 leads to a plain file: it opens under the name, but it is no port.
  std::string entry = "Z:" + prefix + "/dosdevices/com" + std::to_string(kNotAPort);
  for (char& c : entry) {
    if (c == '/') c = '\\';
  }
  std::ofstream(entry) << "not a device\n";
  EXPECT_EQ(probePort(kNotAPort), PortAbsent);
  DeleteFileA(entry.c_str());
}
