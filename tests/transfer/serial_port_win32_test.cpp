// The serial layer over Win32, against a pseudo-terminal that Wine presents
// as a COM port.
#include <windows.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/pty_line_win32.h"
#include "transfer/serial_port.h"
#include "transfer/serial_port_win32.h"

namespace {

constexpr int kPort = 45;
constexpr int kUnpublishedPort = 46;

// Errors a driver gives once its adapter is pulled out, Wine none of them.
DWORD InjectedError = 0;

BOOL WINAPI failingQuery(HANDLE, LPDWORD, LPCOMSTAT) {
  SetLastError(InjectedError);
  return FALSE;
}

BOOL WINAPI failingRead(HANDLE, LPVOID, DWORD, LPDWORD read, LPOVERLAPPED) {
  *read = 0;
  SetLastError(InjectedError);
  return FALSE;
}

DWORD WINAPI unknownFileType(HANDLE) {
  return FILE_TYPE_UNKNOWN;
}

class SerialPortWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!PtyLine::available(why)) GTEST_SKIP() << why;
    instrument = std::make_unique<PtyLine>(kPort);
  }
  void TearDown() override {
    if (port) serialClose(port);
    Comm = WindowsComm;
  }

  void open() { ASSERT_EQ(serialOpen(kPort, &port), SerialOk); }

  // Polls until `count` bytes are queued or 5 s pass.
  uint32_t waitQueued(uint32_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    uint32_t waiting = 0;
    uint32_t errors = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      if (serialPoll(port, waiting, errors) != SerialOk) return 0;
      if (waiting >= count) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return waiting;
  }

  std::string readAll(size_t size) {
    std::string buffer(size, '\0');
    size_t got = 0;
    EXPECT_EQ(serialRead(port, buffer.data(), buffer.size(), got), SerialOk);
    buffer.resize(got);
    return buffer;
  }

  std::unique_ptr<PtyLine> instrument;
  SerialPort* port = nullptr;
};

}  // namespace

TEST(SerialDeviceNameWin32, EveryPortByItsDeviceName) {
  EXPECT_EQ(serialDevicePath(3), "\\\\.\\COM3");
  EXPECT_EQ(serialDevicePath(12), "\\\\.\\COM12");
  EXPECT_EQ(serialDevicePath(100), "\\\\.\\COM100");
  EXPECT_EQ(serialDevicePath(0), "");
  EXPECT_EQ(serialDevicePath(101), "");
  EXPECT_EQ(serialDevicePath(-3), "");
}

TEST_F(SerialPortWin32Test, BytesPassUnalteredBothWays) {
  open();
  // Bytes a cooked line would turn round, drop, translate or act upon.
  const std::string toInstrument("\x00\r\n\x11\x13\x7f\x85 end", 11);
  size_t written = 0;
  ASSERT_EQ(serialWrite(port, toInstrument.data(), toInstrument.size(), written), SerialOk);
  EXPECT_EQ(written, toInstrument.size());
  ASSERT_TRUE(instrument->waitReceived(toInstrument.size()));
  EXPECT_EQ(instrument->received(), toInstrument);

  const std::string fromInstrument("12,3.4\r\n\x00\x85\x11\x13\rFeet\n", 18);
  ASSERT_TRUE(instrument->send(fromInstrument));
  ASSERT_EQ(waitQueued(static_cast<uint32_t>(fromInstrument.size())), fromInstrument.size());
  EXPECT_EQ(readAll(512), fromInstrument);
  // Nothing echoed back to the instrument.
  EXPECT_EQ(instrument->received(), toInstrument);
}

TEST_F(SerialPortWin32Test, ReadsNeverWaitAndTakeOnlyWhatIsAsked) {
  open();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(readAll(64), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  ASSERT_TRUE(instrument->send("abcdefgh"));
  ASSERT_EQ(waitQueued(8), 8u);
  EXPECT_EQ(readAll(3), "abc");
  EXPECT_EQ(waitQueued(5), 5u);
  EXPECT_EQ(readAll(64), "defgh");
  uint32_t waiting = 99;
  uint32_t errors = 99;
  ASSERT_EQ(serialPoll(port, waiting, errors), SerialOk);
  EXPECT_EQ(waiting, 0u);
  EXPECT_EQ(errors, 0u);
}

TEST_F(SerialPortWin32Test, OpenDiscardsWhatWasQueuedBefore) {
  // The line is still cooked, so its queue counts only whole lines.
  ASSERT_TRUE(instrument->send("stale bytes\n"));
  ASSERT_TRUE(instrument->waitQueuedForProgram(12));
  open();
  EXPECT_EQ(instrument->queuedForProgram(), 0u);
  ASSERT_TRUE(instrument->send("fresh"));
  ASSERT_EQ(waitQueued(5), 5u);
  EXPECT_EQ(readAll(64), "fresh");
}

TEST_F(SerialPortWin32Test, OpenLeavesTheLineRaw) {
  open();
  const PtyLineSettings line = instrument->line();
  EXPECT_FALSE(line.canonical);
  EXPECT_FALSE(line.echo);
  EXPECT_FALSE(line.outputProcessing);
  EXPECT_FALSE(line.xonXoff);
  EXPECT_FALSE(line.crToNl);
}

// An earlier program left flow control on. Wine keeps what a Linux tty can
// hold (CTS handshake, XON/XOFF both ways) and reads it back; the DSR
// handshake and DTR/RTS handshakes it cannot hold are shown by rawState.
TEST_F(SerialPortWin32Test, FlowControlLeftOnByAnEarlierProgramIsSwitchedOff) {
  const HANDLE earlier = CreateFileW(L"\\\\.\\COM45", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(earlier, INVALID_HANDLE_VALUE);
  DCB left{};
  left.DCBlength = sizeof left;
  ASSERT_TRUE(GetCommState(earlier, &left));
  left.fOutxCtsFlow = TRUE;
  left.fRtsControl = RTS_CONTROL_HANDSHAKE;
  left.fOutX = TRUE;
  left.fInX = TRUE;
  ASSERT_TRUE(SetCommState(earlier, &left));
  COMMTIMEOUTS none{};
  ASSERT_TRUE(SetCommTimeouts(earlier, &none));
  CloseHandle(earlier);
  ASSERT_TRUE(instrument->line().xonXoff) << "the earlier program's state did not stay";

  open();
  DCB opened{};
  opened.DCBlength = sizeof opened;
  ASSERT_TRUE(GetCommState(port->handle, &opened));
  EXPECT_FALSE(opened.fOutxCtsFlow);
  EXPECT_EQ(opened.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
  EXPECT_FALSE(opened.fOutX);
  EXPECT_FALSE(opened.fInX);
  EXPECT_FALSE(instrument->line().xonXoff);
  COMMTIMEOUTS timeouts{};
  ASSERT_TRUE(GetCommTimeouts(port->handle, &timeouts));
  EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 500u);
}

TEST(SerialRawStateWin32, EveryKindOfFlowControlIsSwitchedOff) {
  DCB left{};
  left.DCBlength = sizeof left;
  left.BaudRate = 19200;
  left.ByteSize = 8;
  left.StopBits = ONE5STOPBITS;
  left.fOutxCtsFlow = TRUE;
  left.fOutxDsrFlow = TRUE;
  left.fDsrSensitivity = TRUE;
  left.fDtrControl = DTR_CONTROL_HANDSHAKE;
  left.fRtsControl = RTS_CONTROL_TOGGLE;
  left.fOutX = TRUE;
  left.fInX = TRUE;
  left.fTXContinueOnXoff = FALSE;
  const DCB raw = rawState(left);
  EXPECT_FALSE(raw.fOutxCtsFlow);
  EXPECT_FALSE(raw.fOutxDsrFlow);
  EXPECT_FALSE(raw.fDsrSensitivity);
  EXPECT_EQ(raw.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
  EXPECT_EQ(raw.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
  EXPECT_FALSE(raw.fOutX);
  EXPECT_FALSE(raw.fInX);
  EXPECT_TRUE(raw.fTXContinueOnXoff);
  EXPECT_EQ(raw.BaudRate, 19200u);
  EXPECT_EQ(raw.StopBits, ONE5STOPBITS);
}

// The instrument's end holds the line with XOFF under flow control turned
// on after the open: a write that cannot leave ends within its limit. The
// test does not close the port under a write that never ended.
TEST_F(SerialPortWin32Test, AWriteThatCannotLeaveEndsWithinItsLimit) {
  open();
  DCB held{};
  held.DCBlength = sizeof held;
  ASSERT_TRUE(GetCommState(port->handle, &held));
  held.fOutX = TRUE;
  ASSERT_TRUE(SetCommState(port->handle, &held));
  ASSERT_TRUE(instrument->send("\x13"));
  Sleep(200);
  auto ended = std::make_shared<std::promise<SerialStatus>>();
  std::future<SerialStatus> result = ended->get_future();
  std::thread([ended, p = port] {
    static const std::string flood(1 << 16, 'x');
    size_t written = 0;
    ended->set_value(serialWrite(p, flood.data(), flood.size(), written));
  }).detach();
  if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    port = nullptr;
    FAIL() << "the write never ended";
  }
  EXPECT_EQ(result.get(), SerialOk);
}

TEST_F(SerialPortWin32Test, LineSettingsReachTheDriverAndReadBack) {
  open();
  SerialLine wanted;
  wanted.baudRate = 19200;
  wanted.dataBits = 8;
  wanted.parity = ParityNone;
  wanted.parityCheck = false;
  wanted.stopBitsCode = 0;
  ASSERT_EQ(serialSetLine(port, wanted), SerialOk);
  PtyLineSettings line = instrument->line();
  EXPECT_EQ(line.speed, 19200);
  EXPECT_EQ(line.dataBits, 8);
  EXPECT_FALSE(line.parity);
  EXPECT_FALSE(line.parityCheck);
  EXPECT_FALSE(line.twoStopBits);

  SerialLine readBack;
  ASSERT_EQ(serialGetLine(port, readBack), SerialOk);
  EXPECT_EQ(readBack.baudRate, 19200);
  EXPECT_EQ(readBack.dataBits, 8);
  EXPECT_EQ(readBack.parity, ParityNone);
  EXPECT_FALSE(readBack.parityCheck);
  EXPECT_EQ(readBack.stopBitsCode, 0);

  wanted.baudRate = 9600;
  wanted.stopBitsCode = 2;
  ASSERT_EQ(serialSetLine(port, wanted), SerialOk);
  line = instrument->line();
  EXPECT_EQ(line.speed, 9600);
  EXPECT_TRUE(line.twoStopBits);
}

// The layer asks; what the port makes of one and a half stop bits is the
// driver's. Wine's has none and takes the request as two, where the POSIX
// layer would refuse it and leave one.
TEST_F(SerialPortWin32Test, OneAndAHalfStopBitsAreTheDriversToDecide) {
  open();
  SerialLine line;
  ASSERT_EQ(serialGetLine(port, line), SerialOk);
  line.baudRate = 19200;
  line.dataBits = 8;
  line.stopBitsCode = 1;
  EXPECT_EQ(serialSetLine(port, line), SerialOk);
  EXPECT_TRUE(instrument->line().twoStopBits);
  EXPECT_EQ(instrument->line().speed, 19200);
}

TEST_F(SerialPortWin32Test, QueueSizesAreTheDrivers) {
  open();
  uint32_t rx = 0;
  uint32_t tx = 0;
  ASSERT_EQ(serialGetQueues(port, rx, tx), SerialOk);
  EXPECT_EQ(serialSetQueues(port, 4096, 4096), SerialOk);
}

TEST_F(SerialPortWin32Test, ProbeTellsPresentFromAbsent) {
  EXPECT_EQ(serialProbe(kPort), SerialOk);
  EXPECT_EQ(serialProbe(kUnpublishedPort), SerialAbsent);
  EXPECT_EQ(serialProbe(0), SerialAbsent);
  EXPECT_EQ(serialProbe(101), SerialAbsent);
  // The probe left the port as it was: it opens.
  open();
}

TEST_F(SerialPortWin32Test, ClosedPortOpensAgain) {
  open();
  serialClose(port);
  port = nullptr;
  open();
  ASSERT_TRUE(instrument->send("again"));
  EXPECT_EQ(waitQueued(5), 5u);
}

// Windows refuses a second opener of a COM port itself (share mode 0), and
// the port list's "in use" rests on that. Wine does not: it opens a port as
// often as asked. Only a real Windows port can show it; MORVANE_TEST_COM
// names a free one.
TEST(SerialPortInUseWin32, SecondOpenerIsRefusedAndTheProbeSaysInUse) {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll && GetProcAddress(ntdll, "wine_get_version")) {
    GTEST_SKIP() << "Wine does not enforce the exclusive open of a COM port";
  }
  char number[16];
  const DWORD length = GetEnvironmentVariableA("MORVANE_TEST_COM", number, sizeof number);
  if (length == 0 || length >= sizeof number) {
    GTEST_SKIP() << "MORVANE_TEST_COM does not name a free COM port";
  }
  const int portNumber = std::atoi(number);
  SerialPort* first = nullptr;
  ASSERT_EQ(serialOpen(portNumber, &first), SerialOk);
  SerialPort* second = nullptr;
  EXPECT_EQ(serialOpen(portNumber, &second), SerialInUse);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(serialProbe(portNumber), SerialInUse);
  serialClose(first);
  EXPECT_EQ(serialProbe(portNumber), SerialOk);
}

TEST_F(SerialPortWin32Test, AnInstrumentThatGoesAwayIsGone) {
  open();
  ASSERT_TRUE(instrument->hangUp());
  uint32_t waiting = 0;
  uint32_t errors = 0;
  SerialStatus polled = SerialOk;
  for (int i = 0; i < 500 && polled == SerialOk; ++i) {
    polled = serialPoll(port, waiting, errors);
    Sleep(2);
  }
  EXPECT_EQ(polled, SerialGone);
  // A read takes nothing; whether it says why is the driver's affair (Wine's
  // reads a hung-up line as empty), the poll above is what tells.
  std::string buffer(16, '\0');
  size_t got = 0;
  serialRead(port, buffer.data(), buffer.size(), got);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(serialProbe(kPort), SerialAbsent);
}

// On an open handle any failed query or read means the device has gone,
// whatever the driver calls it.
TEST_F(SerialPortWin32Test, AnyFailureOfAQueryOrAReadIsTheDeviceGone) {
  open();
  Comm.clearCommError = failingQuery;
  Comm.readFile = failingRead;
  for (DWORD error : {ERROR_DEV_NOT_EXIST, ERROR_FILE_NOT_FOUND, ERROR_GEN_FAILURE,
                      ERROR_OPERATION_ABORTED, ERROR_INVALID_HANDLE, ERROR_BAD_COMMAND}) {
    InjectedError = error;
    uint32_t waiting = 0;
    uint32_t errors = 0;
    EXPECT_EQ(serialPoll(port, waiting, errors), SerialGone) << "error " << error;
    char buffer[8];
    size_t got = 0;
    EXPECT_EQ(serialRead(port, buffer, sizeof buffer, got), SerialGone) << "error " << error;
  }
}

// Only a file on a disk is no port; a driver may call its device of
// unknown type.
TEST_F(SerialPortWin32Test, ADeviceOfUnknownTypeIsAPort) {
  Comm.getFileType = unknownFileType;
  EXPECT_EQ(serialProbe(kPort), SerialOk);
  open();
}
