// The instrument for Windows tests of anything that opens COM ports, under
// Wine: a Linux program (tests/wine/pty_line.cpp) that the test starts, which
// makes a pseudo-terminal and publishes it to Wine as COMn. Wine opens
// \\.\COMn as its dosdevices entry comN, so the program's serial calls reach
// the pseudo-terminal through Wine's own serial support. COMn is in the
// system's map of serial devices while it is there, as a plugged-in port is.
//
//   if (!PtyLine::available(why)) GTEST_SKIP() << why;
//   PtyLine instrument(45);            // COM45 is a pseudo-terminal
//   instrument.send("12,3.4\r\n");     // the instrument sends a burst
//   instrument.waitReceived(3);        // the program has sent 3 bytes
//   instrument.line();                 // the settings the program left
//
// The line starts as a Linux tty that nobody configured (cooked, 9600 baud,
// two stop bits). A pseudo-terminal keeps 8 data bits and no parity
// whatever is asked, has no modem lines and reports no line errors.
// Failures to set up throw std::runtime_error, which fails the test.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

struct PtyLineSettings {
  int speed = 0;
  int dataBits = 0;
  bool parity = false;
  bool twoStopBits = false;
  bool parityCheck = false;
  // Left on, any of these alters the bytes on their way.
  bool canonical = false;
  bool echo = false;
  bool outputProcessing = false;
  bool xonXoff = false;
  bool crToNl = false;
};

class PtyLine {
 public:
  // True under Wine with the Linux program at hand (MORVANE_PTY_LINE names
  // it); otherwise `why` says what is missing.
  static bool available(std::string& why);

  explicit PtyLine(int portNumber);
  ~PtyLine();
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  int portNumber() const { return portNumber_; }

  // Instrument to program.
  bool send(std::string_view bytes);
  // Bytes sent that wait in the port's input queue, not yet read.
  size_t queuedForProgram();
  bool waitQueuedForProgram(size_t count,
                            std::chrono::milliseconds timeout = std::chrono::seconds(5));

  // Program to instrument: everything the program has sent so far.
  std::string received();
  bool waitReceived(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  void clearReceived();

  PtyLineSettings line();

  // The instrument goes away (an adapter pulled out): the program's side of
  // the line is hung up and COMn disappears, from the device map too.
  bool hangUp();
  // COMn leaves the device map but its line stays, answering "nothing
  // queued": a driver that keeps answering for an adapter pulled out.
  void leaveDeviceMap();

 private:
  std::string ask(const std::string& order);

  const int portNumber_;
  uintptr_t control_;  // the connection to the Linux program
};
