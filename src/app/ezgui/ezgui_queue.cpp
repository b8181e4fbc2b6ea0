#include "app/ezgui/ezgui_queue.h"

#include <QCoreApplication>
#include <QTimer>
#include <deque>
#include <mutex>

#include "app/ezgui/ezgui_queue_join.h"
#include "app/ezgui/ezgui_readback.h"
#include "app/ezgui/ezgui_state.h"

namespace {

using Entry = EzQueueEntry;

struct EzCallQueue {
  std::mutex lock;
  std::deque<Entry> entries;
  // The GUI thread was woken for the queue and has not yet found it empty;
  // while it is set, a call queued needs no wake-up of its own.
  bool watched = false;
  // The GUI thread's timer that carries the queue out, set and cleared
  // there under the lock, so a thread starting it never meets it half gone.
  // None before the layer's hooks are in place: calls then wait for the GUI
  // thread's own.
  QTimer* timer = nullptr;
};

EzCallQueue Queued;

void carryOut(const Entry& e) {
  const EzQueuedCall& c = e.call;
  if (e.append) {
    ezDoRichAppend(c.form, c.id, c.text);
    if (e.scroll) ezDoScrollTo(c.form, c.id, 1, e.scrollValue);
    return;
  }
  switch (c.kind) {
    case EzQueuedKind::StatusText:
      ezDoStatusText(c.form, c.id, c.a, c.text);
      break;
    case EzQueuedKind::RichSelection:
      ezDoRichSelection(c.form, c.id, c.a, c.b);
      break;
    case EzQueuedKind::RichText:
      ezDoRichText(c.form, c.id, c.text, c.a, c.b);
      break;
    case EzQueuedKind::ScrollTo:
      ezDoScrollTo(c.form, c.id, c.a, c.b);
      break;
  }
}

// The timer that carries out the queue runs only while calls come: the
// first call into an unwatched queue starts it, and a tick that finds the
// queue empty stops it, so an idle program is never woken for it.
bool stopWatchingWhenEmpty() {
  std::lock_guard<std::mutex> hold(Queued.lock);
  if (!Queued.entries.empty()) return false;
  Queued.watched = false;
  return true;
}

}  // namespace

void ezDrainOnTimer() {
  if (ezDrainQueued() == 0 && stopWatchingWhenEmpty() && EzLayer.drainTimer) {
    EzLayer.drainTimer->stop();
  }
}

void ezWatchQueueWith(QTimer* timer) {
  std::lock_guard<std::mutex> hold(Queued.lock);
  Queued.timer = timer;
}

void ezQueueCall(EzQueuedCall call) {
  std::string key = ezKey(call.form);
  {
    std::lock_guard<std::mutex> hold(Queued.lock);
    if (!ezJoinQueued(Queued.entries, call, key)) {
      Queued.entries.push_back(Entry{std::move(call), std::move(key)});
    }
    // Posted, not called: the timer belongs to the GUI thread. By the slot's
    // name, so the call is made up wholly inside Qt and nothing the posting
    // thread made is read on the GUI thread.
    if (!Queued.watched && Queued.timer) {
      Queued.watched = true;
      QMetaObject::invokeMethod(Queued.timer, "start", Qt::QueuedConnection);
    }
  }
}

void ezForgetQueued() {
  std::lock_guard<std::mutex> hold(Queued.lock);
  Queued.entries.clear();
  Queued.watched = false;
  Queued.timer = nullptr;
}

int ezQueuedCount() {
  std::lock_guard<std::mutex> hold(Queued.lock);
  return static_cast<int>(Queued.entries.size());
}

int ezDrainQueued() {
  if (!ezOnGuiThread()) return 0;
  std::deque<Entry> entries;
  {
    std::lock_guard<std::mutex> hold(Queued.lock);
    entries.swap(Queued.entries);
  }
  for (const Entry& e : entries) carryOut(e);
  return static_cast<int>(entries.size());
}

void EZ_DOEVENTS(int n) {
  (void)n;
  // On another thread there is nothing to do: its calls are already queued
  // and the GUI thread handles its own window messages.
  if (!ezOnGuiThread()) return;
  ezDrainQueued();
  QCoreApplication::processEvents();
}
