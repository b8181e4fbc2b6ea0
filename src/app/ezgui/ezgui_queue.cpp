#include "app/ezgui/ezgui_queue.h"

#include <QCoreApplication>
#include <QTimer>
#include <deque>
#include <mutex>

#include "app/ezgui/ezgui_readback.h"
#include "app/ezgui/ezgui_state.h"

namespace {

// One entry of the queue: a call as it was made, or a run of lines appended
// to one view (selection put at the end, text inserted there) joined into
// one insert, with the scroll to the end that came among them.
//
// Calls are joined as they are queued, not only when they are carried out:
// while the GUI thread is busy elsewhere (a port scan, a message box) a
// flood of records must not pile up one call per record. Joining changes
// nothing a user can see, because nothing is painted while the queue is
// carried out: a run of appends shows as the one insert of their text, and
// of several status texts for one part only the last would ever show.
struct Entry {
  EzQueuedCall call;
  std::string key;  // the form's registry key
  bool append = false;
  bool scroll = false;
  int scrollValue = 0;
};

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

bool isAppendStart(const EzQueuedCall& c) {
  return c.kind == EzQueuedKind::RichSelection && c.a == -1 && c.b == -1;
}

bool isInsert(const EzQueuedCall& c) {
  return c.kind == EzQueuedKind::RichText && c.a == 0 && c.b == 1;
}

bool isScrollToEnd(const EzQueuedCall& c) {
  return c.kind == EzQueuedKind::ScrollTo && c.a == 1;
}

bool sameControl(const Entry& e, const std::string& key, int id) {
  return e.call.id == id && e.key == key;
}

// The last entry for the control `key`/`id` at or before `from`, skipping
// those of other controls; entries.end() when there is none.
std::deque<Entry>::iterator lastFor(std::deque<Entry>& entries, std::deque<Entry>::iterator from,
                                    const std::string& key, int id) {
  for (auto it = from; it != entries.begin();) {
    --it;
    if (sameControl(*it, key, id)) return it;
  }
  return entries.end();
}

// An insert after a selection put at the end: an append, joined to the one
// before it for the same view when there is one.
bool joinInsert(std::deque<Entry>& entries, const EzQueuedCall& call, const std::string& key) {
  const auto start = lastFor(entries, entries.end(), key, call.id);
  if (start == entries.end() || start->append || !isAppendStart(start->call)) return false;
  const auto earlier = lastFor(entries, start, key, call.id);
  if (earlier != entries.end() && earlier->append) {
    earlier->call.text += call.text;
    entries.erase(start);
    return true;
  }
  start->append = true;
  start->call.kind = EzQueuedKind::RichText;
  start->call.text = call.text;
  return true;
}

bool joinScroll(std::deque<Entry>& entries, const EzQueuedCall& call, const std::string& key) {
  const auto last = lastFor(entries, entries.end(), key, call.id);
  if (last == entries.end() || !last->append) return false;
  last->scroll = true;
  last->scrollValue = call.b;
  return true;
}

// A newer text for a status part replaces one still waiting.
bool joinStatus(std::deque<Entry>& entries, const EzQueuedCall& call, const std::string& key) {
  for (auto it = lastFor(entries, entries.end(), key, call.id); it != entries.end();
       it = lastFor(entries, it, key, call.id)) {
    if (it->call.kind != EzQueuedKind::StatusText) return false;
    if (it->call.a == call.a) {
      it->call.text = call.text;
      return true;
    }
  }
  return false;
}

bool join(std::deque<Entry>& entries, const EzQueuedCall& call, const std::string& key) {
  if (isInsert(call)) return joinInsert(entries, call, key);
  if (isScrollToEnd(call)) return joinScroll(entries, call, key);
  if (call.kind == EzQueuedKind::StatusText) return joinStatus(entries, call, key);
  return false;
}

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
    if (!join(Queued.entries, call, key)) {
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
