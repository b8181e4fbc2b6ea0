#include <fcntl.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QString>

#include "transfer/awake.h"
#include "transfer/awake_posix.h"

SleepInhibitorRequest RequestSleepInhibitor = logindSleepInhibitor;

namespace {

// The descriptor logind keeps the inhibitor for; -1 when none is held.
int HeldInhibitor = -1;
bool AwakeHeld = false;

// The window waits for the answer; a login manager that does not answer
// within this must not hold up the start of a transfer.
constexpr int LogindAnswerMs = 1000;

}  // namespace

int logindSleepInhibitor() {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return -1;
  QDBusMessage call =
      QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                     "org.freedesktop.login1.Manager", "Inhibit");
  call << QString("sleep") << QString("Morvane Data Transfer Utility")
       << QString("A transfer from the instrument is running") << QString("block");
  const QDBusMessage reply = bus.call(call, QDBus::Block, LogindAnswerMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return -1;
  const auto held = qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().first());
  if (!held.isValid()) return -1;
  // The reply's descriptor closes with the reply; the hold needs its own.
  return fcntl(held.fileDescriptor(), F_DUPFD_CLOEXEC, 0);
}

void holdAwake() {
  if (AwakeHeld) return;
  AwakeHeld = true;
  HeldInhibitor = RequestSleepInhibitor();
}

void releaseAwake() {
  if (!AwakeHeld) return;
  AwakeHeld = false;
  if (HeldInhibitor >= 0) close(HeldInhibitor);
  HeldInhibitor = -1;
}
