// The instrument unplugged in the middle of a transfer (the pseudo-terminal's
// other side closing looks to the program as a USB adapter pulled out): no
// hang, no busy loop, the records already received kept, the window telling
// the truth, and Stop giving it back. Plugged in again (a new
// pseudo-terminal published under the same COM number), the transfer goes on.
#include <pthread.h>
#include <time.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "ports/port_names_posix.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_form.h"

namespace {

using namespace std::chrono_literals;

const std::string Waiting = "Waiting for data . . . . . . . . .";
const std::string Gone = "Port COM 3 disconnected - waiting for it to come back";

// CPU time the worker thread used while the test waited `span`.
std::chrono::milliseconds workerCpuDuring(std::chrono::milliseconds span) {
  clockid_t clock;
  if (pthread_getcpuclockid(static_cast<pthread_t>(WorkerHandle.native), &clock) != 0) {
    return std::chrono::milliseconds::max();
  }
  auto cpuNow = [clock] {
    timespec t{};
    clock_gettime(clock, &t);
    return std::chrono::milliseconds(t.tv_sec * 1000 + t.tv_nsec / 1000000);
  };
  const auto before = cpuNow();
  processEventsFor(static_cast<int>(span.count()));
  return cpuNow() - before;
}

class Unplug : public TransferFormTest {};

}  // namespace

TEST_F(Unplug, TheWindowSaysThePortHasGoneAndStopGivesItBackWithEveryRecordSaved) {
  WriteMode = WriteOverwrite;
  clickStart();
  ASSERT_EQ(statusPart(StatusOverall), Waiting);
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 4) + "1,12/01/26,10:"));
  ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 4); }, 8000));
  ASSERT_TRUE(waitUntil([&] { return fileContent(rawLog()).ends_with("10:\r\n"); }, 8000));

  instrument->hangUp();
  ports.withdraw(3);  // its device goes with it
  EXPECT_TRUE(waitUntil([] { return statusPart(StatusOverall) == Gone; }, 8000))
      << statusPart(StatusOverall);
  // The worker goes on polling the gone port at its idle pace, not at full speed.
  EXPECT_LT(workerCpuDuring(1000ms), 300ms);
  // Nor does the waiting text come back over it.
  processEventsFor(3500);
  EXPECT_EQ(statusPart(StatusOverall), Gone);
  EXPECT_EQ(TransferRunning, 1);

  {
    CallWatchdog watchdog(10s);
    clickStop();
  }
  expectControlsGivenBack();
  EXPECT_FALSE(linkIsOpen());
  EXPECT_EQ(fileContent(csv), csvLines(0, 4));
  EXPECT_EQ(withoutLineEnds(fileContent(rawLog())),
            withoutLineEnds(instrumentRecords(0, 4) + "1,12/01/26,10:"));
}

TEST_F(Unplug, APortThatComesBackCarriesOnWithEveryRecordKept) {
  WriteMode = WriteOverwrite;
  clickStart();
  ASSERT_EQ(statusPart(StatusOverall), Waiting);
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 4)));
  ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 4); }, 8000));

  instrument->hangUp();
  ports.withdraw(3);  // its device goes with it
  ASSERT_TRUE(waitUntil([] { return statusPart(StatusOverall) == Gone; }, 8000))
      << statusPart(StatusOverall);
  expectTransferControls();

  // Plugged in again, the instrument sending at once: nothing it sends
  // once the port is back may be lost to a pause and a discard.
  PtyInstrument back(ports, 3);
  ASSERT_TRUE(back.send(instrumentRecords(4, 4)));
  EXPECT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 8); }, 8000))
      << fileContent(csv);
  EXPECT_TRUE(
      waitUntil([] { return statusPart(StatusOverall).starts_with("Receiving data"); }, 3000))
      << statusPart(StatusOverall);
  // (The new line echoes what the instrument sent until the program sets it up.)
  EXPECT_EQ(back.received().find('\0'), std::string::npos)
      << "the opening bytes were sent to an instrument mid-transfer";

  // And the line goes on as before.
  EXPECT_TRUE(waitUntil([] { return statusPart(StatusOverall) == Waiting; }, 8000));
  ASSERT_TRUE(back.send(instrumentRecords(8, 2)));
  EXPECT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 10); }, 8000));
  clickStop();
  expectControlsGivenBack();
  EXPECT_EQ(fileContent(csv), csvLines(0, 10));
  EXPECT_EQ(withoutLineEnds(fileContent(rawLog())), withoutLineEnds(instrumentRecords(0, 10)));
}

// A USB adapter with a serial number may come back under another device
// name, and so another COM number: it is found by its serial number. The
// system's device tree is a fake one, shaped as the kernel makes it.
TEST_F(Unplug, AnAdapterBackUnderAnotherNumberIsFoundByItsSerialNumber) {
  namespace fs = std::filesystem;
  SysfsRoot = program.path() + "sys";
  SerialByIdFolder = program.path() + "by-id";
  // The tty `device` (its pseudo-terminal) is interface `usbPort` of an
  // adapter with serial number A50285BI.
  auto adapterOf = [](const std::string& device, const std::string& usbPort) {
    const fs::path usb = fs::path(SysfsRoot) / "devices/usb1" / usbPort;
    fs::create_directories(usb / "1-1:1.0/ttyUSB0");
    std::ofstream(usb / "idVendor") << "0403\n";
    std::ofstream(usb / "product") << "FT232R USB UART\n";
    std::ofstream(usb / "serial") << "A50285BI\n";
    const fs::path tty = fs::path(SysfsRoot) / "class/tty" / fs::path(device).filename();
    fs::create_directories(tty);
    fs::create_directory_symlink("../../../devices/usb1/" + usbPort + "/1-1:1.0/ttyUSB0",
                                 tty / "device");
  };
  adapterOf(instrument->devicePath(), "1-1");
  WriteMode = WriteOverwrite;
  clickStart();
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 2)));
  ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 2); }, 8000));
  instrument->hangUp();
  ports.withdraw(3);
  ASSERT_TRUE(waitUntil([] { return statusPart(StatusOverall) == Gone; }, 8000));

  PtyInstrument back(ports, 4);
  adapterOf(back.devicePath(), "1-2");
  ASSERT_TRUE(back.send(instrumentRecords(2, 2)));
  EXPECT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 4); }, 8000))
      << fileContent(csv);
  EXPECT_EQ(linkPortNumber(), 4);
  clickStop();
  expectControlsGivenBack();
}
