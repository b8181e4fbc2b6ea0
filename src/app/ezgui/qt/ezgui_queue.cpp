// Calls from another thread over Qt: a timer of the GUI thread carries the
// queue (../ezgui_queue.h) out. It runs only while calls come: the first
// call into an unwatched queue starts it, and a tick that finds the queue
// empty stops it, so an idle program is never woken for it.
#include <QCoreApplication>
#include <QTimer>
#include <mutex>

#include "app/ezgui/ezgui_queue.h"
#include "app/ezgui/qt/ezgui_state.h"

namespace {

// The GUI thread's timer, set and cleared there under the lock, so a
// thread starting it never meets it half gone. None before the layer's
// hooks are in place: calls then wait for the GUI thread's own.
struct EzDrainTimer {
  std::mutex lock;
  QTimer* timer = nullptr;  // guarded by `lock`
};

EzDrainTimer Drain;

}  // namespace

bool ezBackendWakeForQueue() {
  std::lock_guard<std::mutex> hold(Drain.lock);
  if (!Drain.timer) return false;
  // Posted, not called: the timer belongs to the GUI thread. By the slot's
  // name, so the call is made up wholly inside Qt and nothing the posting
  // thread made is read on the GUI thread.
  QMetaObject::invokeMethod(Drain.timer, "start", Qt::QueuedConnection);
  return true;
}

void ezDrainOnTimer() {
  if (ezDrainQueued() == 0 && ezQueueSettledIfEmpty() && EzLayer.drainTimer) {
    EzLayer.drainTimer->stop();
  }
}

void ezWatchQueueWith(QTimer* timer) {
  std::lock_guard<std::mutex> hold(Drain.lock);
  Drain.timer = timer;
}

void ezBackendHandleMessages() {
  QCoreApplication::processEvents();
}
