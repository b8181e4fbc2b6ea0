// The scan on Windows, under Wine: which ports it opens, and a port whose
// open does not end (a Bluetooth link reaching for its paired device, shown
// by a driver put behind the comm calls, since Wine has none such).
#include <windows.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ports/port_list.h"
#include "ports/port_presence.h"
#include "ports/port_presence_win32.h"
#include "ports/port_state.h"
#include "support/pty_line_win32.h"
#include "transfer/serial_port_win32.h"

namespace {

constexpr int kPort = 53;
constexpr int kSlowPort = 55;

// Names opened, by any thread. Guarded by OpenedLock.
SRWLOCK OpenedLock = SRWLOCK_INIT;
std::multiset<std::wstring> Opened;

HANDLE SlowOpenRelease = nullptr;
HANDLE SlowOpenReturned = nullptr;

HANDLE WINAPI recordingOpen(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                            DWORD disposition, DWORD flags, HANDLE model) {
  AcquireSRWLockExclusive(&OpenedLock);
  Opened.insert(name);
  ReleaseSRWLockExclusive(&OpenedLock);
  if (std::wstring(name) == L"\\\\.\\COM" + std::to_wstring(kSlowPort)) {
    WaitForSingleObject(SlowOpenRelease, 20000);
    SetEvent(SlowOpenReturned);
    SetLastError(ERROR_SEM_TIMEOUT);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileW(name, access, share, security, disposition, flags, model);
}

size_t timesOpened(int portNumber) {
  AcquireSRWLockShared(&OpenedLock);
  const size_t count = Opened.count(L"\\\\.\\COM" + std::to_wstring(portNumber));
  ReleaseSRWLockShared(&OpenedLock);
  return count;
}

std::vector<std::string> listed() {
  std::vector<std::string> texts;
  for (int i = 1; i <= PortCount; ++i) texts.push_back(PortList[i].text);
  return texts;
}

std::vector<std::string> slowPortAndTheInstrument() {
  return {"COM" + std::to_string(kSlowPort), "COM" + std::to_string(kPort)};
}

class PortScanWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!PtyLine::available(why)) GTEST_SKIP() << why;
    instrument = std::make_unique<PtyLine>(kPort);
    SlowOpenRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SlowOpenReturned = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Comm.createFile = recordingOpen;
  }
  // The slow open is let go and has returned before the driver is put back.
  void TearDown() override {
    if (!SlowOpenRelease) return;
    SetEvent(SlowOpenRelease);
    if (timesOpened(kSlowPort) > 0) WaitForSingleObject(SlowOpenReturned, 30000);
    Comm = WindowsComm;
  }

  std::unique_ptr<PtyLine> instrument;
};

}  // namespace

TEST_F(PortScanWin32Test, OnlyThePortsTheSystemListsAreOpened) {
  scanPorts();
  const std::vector<std::string> texts = listed();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "COM " + std::to_string(kPort)), texts.end());
  EXPECT_EQ(timesOpened(kPort), 1u);
  const PresentPorts listedBySystem = presentPorts();
  for (int n = 1; n <= MaxPorts; ++n) {
    if (!listedBySystem.test(static_cast<size_t>(n))) {
      EXPECT_EQ(timesOpened(n), 0u) << "COM" << n;
    }
  }
}

// The scan goes on without the port and lists the others; the open still
// running is not started a second time by the next scan.
TEST_F(PortScanWin32Test, APortWhoseOpenDoesNotEndIsLeftOut) {
  ReadSerialDeviceMap = slowPortAndTheInstrument;
  scanPorts();
  EXPECT_EQ(WaitForSingleObject(SlowOpenReturned, 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the scan waited for the open to end";
  EXPECT_EQ(listed(), std::vector<std::string>{"COM " + std::to_string(kPort)});
  scanPorts();
  EXPECT_EQ(timesOpened(kSlowPort), 1u);
  EXPECT_EQ(timesOpened(kPort), 2u);
  EXPECT_EQ(listed(), std::vector<std::string>{"COM " + std::to_string(kPort)});
}
