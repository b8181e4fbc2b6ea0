// The sleep inhibitor asked of a login manager over a real D-Bus: a private
// bus daemon stands in for the system bus, and a fake login manager on it,
// in a thread of its own, answers Inhibit with one end of a pipe. The hold
// lasts while the program keeps its copy of that end.
// Not in the ThreadSanitizer run: libdbus is not built with it, and the
// test hangs inside it there.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include <gtest/gtest.h>

#include "support/gui_test_support.h"
#include "transfer/awake.h"
#include "transfer/awake_posix.h"

namespace {

class FakeLogind : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

 public:
  int readEnd = -1;
  QStringList asked;
  std::mutex mutex;

 public slots:
  QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                  const QString& mode) {
    int ends[2];
    if (pipe(ends) != 0) return {};
    const QDBusUnixFileDescriptor handedOut(ends[1]);  // a copy of its own
    close(ends[1]);
    std::lock_guard<std::mutex> lock(mutex);
    readEnd = ends[0];
    asked = {what, who, why, mode};
    return handedOut;
  }
};

// A bus daemon of its own for the test's lifetime.
class PrivateBus {
 public:
  PrivateBus() {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address=1", nullptr);
      _exit(127);
    }
    close(out[1]);
    char line[512] = {};
    FILE* reader = fdopen(out[0], "r");
    if (reader && std::fgets(line, sizeof line, reader)) address = line;
    if (reader) std::fclose(reader);
    while (!address.empty() && address.back() == '\n') address.pop_back();
  }
  ~PrivateBus() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  std::string address;

 private:
  pid_t pid_ = -1;
};

bool pipeHeld(int readEnd) {
  pollfd end{readEnd, POLLIN, 0};
  return poll(&end, 1, 0) == 0;
}

}  // namespace

TEST(AwakeLogind, TheLoginManagersInhibitorIsHeldUntilReleased) {
  PrivateBus bus;
  ASSERT_FALSE(bus.address.empty()) << "no dbus-daemon";
  setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address.c_str(), 1);

  QThread serviceThread;
  FakeLogind logind;
  logind.moveToThread(&serviceThread);
  serviceThread.start();
  QDBusConnection service =
      QDBusConnection::connectToBus(QString::fromStdString(bus.address), "fake-logind");
  ASSERT_TRUE(
      service.registerObject("/org/freedesktop/login1", &logind, QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(service.registerService("org.freedesktop.login1"));

  RequestSleepInhibitor = logindSleepInhibitor;
  holdAwake();
  int readEnd = -1;
  {
    std::lock_guard<std::mutex> lock(logind.mutex);
    readEnd = logind.readEnd;
    EXPECT_EQ(logind.asked, (QStringList{"sleep", "Morvane Data Transfer Utility",
                                         "A transfer from the instrument is running", "block"}));
  }
  ASSERT_GE(readEnd, 0);
  EXPECT_TRUE(pipeHeld(readEnd));
  releaseAwake();
  EXPECT_TRUE(waitUntil([&] { return !pipeHeld(readEnd); }, 2000)) << "the hold was not given back";

  close(readEnd);
  service.unregisterService("org.freedesktop.login1");
  serviceThread.quit();
  serviceThread.wait();
}

#include "awake_logind_test.moc"
