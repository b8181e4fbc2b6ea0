// Stand-ins for the instrument and for other programs on a serial line, for
// tests of anything that opens COM ports. Tests never touch the machine's own
// devices: every port they use lives in a temporary port folder.
//
//   PortFolder folder;                     // MORVANE_PORT_DIR while it lives
//   PtyInstrument instrument(folder, 3);   // COM3 is a pseudo-terminal
//   instrument.send("12,3.4\r\n");         // the instrument sends a burst
//   instrument.waitReceived(3);            // the program has sent 3 bytes
//   instrument.received();                 // everything it sent so far
//   PortHolder holder(instrument.devicePath(), HoldKind::Flock);  // held elsewhere
//
// A pseudo-terminal ignores the baud rate and delivers a write to the other
// side within microseconds to milliseconds, so tests wait with the wait*
// calls (each polls until its condition holds or its deadline passes) rather
// than sleeping. It also keeps 8 data bits and no parity whatever is asked,
// so those settings cannot be read back from it.
//
// Failures to set up throw std::runtime_error, which fails the test. The
// objects may be used from several threads; destroy them on the thread that
// made them, instruments before their folder.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A temporary folder published as MORVANE_PORT_DIR for its lifetime; its
// entries COMn are the whole port mapping. The previous value of the
// variable comes back and the folder is removed when it goes.
class PortFolder {
 public:
  PortFolder();
  ~PortFolder();
  PortFolder(const PortFolder&) = delete;
  PortFolder& operator=(const PortFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string entryPath(int portNumber) const;
  // COMn becomes a symlink to `target`, which need not exist; an earlier
  // entry for n is replaced.
  void publish(int portNumber, const std::string& target);
  void withdraw(int portNumber);

 private:
  std::string path_;
  std::string previous_;
  bool hadPrevious_ = false;
};

enum class Pace {
  Burst,     // all at once
  LineRate,  // 1,920 bytes a second, as the instrument's 19200 baud 8N1 line
};

// The instrument: a pseudo-terminal whose device side is published as COMn.
// Its line starts as a Linux tty that nobody configured: cooked (echo,
// canonical lines, CR/LF translation, XON/XOFF, output processing), 9600
// baud, two stop bits, so a program that fails to set up its line shows it.
class PtyInstrument {
 public:
  static constexpr int kLineRate = 1920;  // bytes per second

  PtyInstrument(PortFolder& folder, int portNumber);
  ~PtyInstrument();
  PtyInstrument(const PtyInstrument&) = delete;
  PtyInstrument& operator=(const PtyInstrument&) = delete;

  int portNumber() const { return portNumber_; }
  // The device itself (/dev/pts/N), which COMn points to.
  const std::string& devicePath() const { return devicePath_; }

  // Instrument to program. False when the bytes could not all be written
  // within `timeout` (the program does not read) or the line is hung up.
  bool send(std::string_view bytes, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Starts sending on a background thread after `delay`.
  void sendInBackground(std::string bytes, Pace pace = Pace::Burst,
                        std::chrono::milliseconds delay = std::chrono::milliseconds(0));
  // Sends on a background thread once the program has sent `afterBytes` bytes
  // in all (an instrument answering the program).
  void answerInBackground(size_t afterBytes, std::string bytes, Pace pace = Pace::Burst);
  // Hangs up on a background thread after `delay`.
  void hangUpInBackground(std::chrono::milliseconds delay);
  // Waits for all background work; false when it did not finish in time or
  // a background send failed.
  bool waitBackground(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Bytes sent that wait in the port's input queue, not yet read by the
  // program (0 once hung up).
  size_t queuedForProgram();
  bool waitQueuedForProgram(size_t count,
                            std::chrono::milliseconds timeout = std::chrono::seconds(5));

  // Program to instrument: everything the program has sent since the start
  // (or the last clearReceived), in order.
  std::string received();
  bool waitReceived(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  void clearReceived();

  // The port's current line settings as the program left them.
  termios line();

  // The instrument goes away (an adapter pulled out): the program's side of
  // the line is hung up and the device node disappears.
  void hangUp();
  bool isHungUp();

  // Lets other users open the device (see runUnprivileged).
  void allowOtherUsers();

 private:
  bool writeSome(std::string_view bytes, size_t& done);
  bool sendPaced(std::string_view bytes, Pace pace);
  void collectLocked();
  void hangUpLocked();
  // Sleeps until `until` or until the instrument is destroyed; false then.
  bool sleepUntil(std::chrono::steady_clock::time_point until);
  void runInBackground(std::function<bool()> work);

  PortFolder& folder_;
  const int portNumber_;
  std::string devicePath_;

  std::mutex mutex_;  // guards the descriptors and received_
  int master_ = -1;
  // The instrument's own descriptor of the device: keeps the line alive
  // between the program's opens and shows the program's input queue.
  int keeper_ = -1;
  std::string received_;

  std::mutex backgroundMutex_;
  std::condition_variable backgroundChanged_;
  std::vector<std::thread> background_;
  int backgroundRunning_ = 0;
  std::atomic<bool> backgroundFailed_{false};
  std::atomic<bool> stopping_{false};
};

enum class HoldKind {
  Flock,      // opens the device and takes an exclusive flock
  Exclusive,  // opens the device and sets the kernel's exclusive flag (TIOCEXCL)
  LockFile,   // leaves a UUCP lock file "LCK..<name>" with its PID, opens nothing
};

// Another program holding a device: a child process that takes the hold,
// keeps it until release() or destruction, then gives it up and ends.
class PortHolder {
 public:
  PortHolder(const std::string& devicePath, HoldKind kind);
  ~PortHolder();
  PortHolder(const PortHolder&) = delete;
  PortHolder& operator=(const PortHolder&) = delete;

  void release();
  pid_t pid() const { return pid_; }
  // The lock file of a LockFile holder.
  const std::string& lockFilePath() const { return lockFilePath_; }

  // The folder where lock files can be left ("" when none is writable);
  // lock files need no root: /run/lock is open to every user.
  static std::string lockFolder();

 private:
  pid_t pid_ = -1;
  int releaseFd_ = -1;
  std::string lockFilePath_;
};

// Runs `work` in a child process as an ordinary user (nobody when the test
// runs as root, since root passes the exclusive flag) and returns its result
// (0 to 255), or -1 when the child could not run or did not end within 10 s.
// The child sees the same MORVANE_PORT_DIR; devices must allow other users.
int runUnprivileged(const std::function<int()>& work);
