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
#include "transfer/serial_port_win32.h"

namespace {

constexpr int kPort = 51;
constexpr int kNotAPort = 52;

std::string environment(const char* name) {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : "";
}

// COM`kNotAPort` as a plain file in the Wine prefix: it opens under the
// name, but it is no port.
std::string plainFileAsPort(const std::string& prefix) {
  std::string entry = "Z:" + prefix + "/dosdevices/com" + std::to_string(kNotAPort);
  for (char& c : entry) {
    if (c == '/') c = '\\';
  }
  std::ofstream(entry) << "not a device\n";
  return entry;
}

// A driver that says a port is held by answering "busy", which Wine's
// never does.
HANDLE WINAPI busyDevice(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  SetLastError(ERROR_BUSY);
  return INVALID_HANDLE_VALUE;
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

  const std::string entry = plainFileAsPort(prefix);
  EXPECT_EQ(probePort(kNotAPort), PortAbsent);
  DeleteFileA(entry.c_str());
}

// Another opener holds the object behind the name: Wine answers "sharing
// violation" for it, as some drivers do for a held port.
TEST(PortProbeWin32, HeldHoweverTheDriverSaysItIsInUse) {
  std::string why;
  if (!PtyLine::available(why)) GTEST_SKIP() << why;
  const std::string prefix = environment("WINEPREFIX");
  if (prefix.empty()) GTEST_SKIP() << "WINEPREFIX does not name the Wine prefix (CTest sets it)";
  const std::string entry = plainFileAsPort(prefix);
  const HANDLE holder = CreateFileA(entry.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(probePort(kNotAPort), PortInUse);
  CloseHandle(holder);
  DeleteFileA(entry.c_str());

  Comm.createFile = busyDevice;
  EXPECT_EQ(probePort(kPort), PortInUse);
  Comm = WindowsComm;
}
