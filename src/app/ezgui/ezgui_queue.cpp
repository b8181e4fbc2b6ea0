// The queue of calls from another thread, and the routing of the calls the
// receive worker may make: queued from the worker, carried out at once on
// the GUI thread after what waits.
#include "app/ezgui/ezgui_queue.h"

#include <deque>
#include <mutex>

#include "app/ezgui/ezgui_backend.h"
#include "app/ezgui/ezgui_queue_join.h"
#include "app/ezgui/ezgui_state.h"

namespace {

using Entry = EzQueueEntry;

struct EzCallQueue {
  std::mutex lock;
  std::deque<Entry> entries;  // guarded by `lock`
  // The backend was asked to wake the GUI thread for the queue and the
  // queue has not been taken since; while it is set, a call queued needs no
  // wake-up of its own. Guarded by `lock`.
  bool wakePending = false;
};

EzCallQueue Queued;

void carryOut(const Entry& e) {
  const EzQueuedCall& c = e.call;
  if (e.append) {
    // What the run of (selection at the end, insert there) pairs amounts to.
    ezDoRichSelection(c.form, c.id, -1, -1);
    ezDoRichText(c.form, c.id, c.text, 0, 1);
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

// A call the worker may make: queued from another thread; on the GUI
// thread carried out at once, after what waits.
bool carriedOutNow() {
  if (!ezOnGuiThread()) return false;
  ezDrainQueued();
  return true;
}

}  // namespace

void ezQueueCall(EzQueuedCall call) {
  std::string key = ezKey(call.form);
  std::lock_guard<std::mutex> hold(Queued.lock);
  if (!ezJoinQueued(Queued.entries, call, key)) {
    Queued.entries.push_back(Entry{std::move(call), std::move(key)});
  }
  if (!Queued.wakePending) Queued.wakePending = ezBackendWakeForQueue();
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

bool ezQueueSettledIfEmpty() {
  std::lock_guard<std::mutex> hold(Queued.lock);
  if (!Queued.entries.empty()) return false;
  Queued.wakePending = false;
  return true;
}

void ezForgetQueued() {
  std::lock_guard<std::mutex> hold(Queued.lock);
  Queued.entries.clear();
  Queued.wakePending = false;
}

int ezQueuedCount() {
  std::lock_guard<std::mutex> hold(Queued.lock);
  return static_cast<int>(Queued.entries.size());
}

// ---- The calls the receive worker may make -----------------------------------

void EZ_SETSBTEXT(const std::string& form, int id, int part, const std::string& text,
                  const std::string& props) {
  (void)props;
  if (!carriedOutNow()) return ezQueueCall({EzQueuedKind::StatusText, form, id, part, 0, text});
  ezDoStatusText(form, id, part, text);
}

void EZ_SETRICHTEXT(const std::string& form, int id, const std::string& text, int a, int b) {
  if (!carriedOutNow()) return ezQueueCall({EzQueuedKind::RichText, form, id, a, b, text});
  ezDoRichText(form, id, text, a, b);
}

void EZ_SETRICHSEL(const std::string& form, int id, int start, int end) {
  if (!carriedOutNow()) return ezQueueCall({EzQueuedKind::RichSelection, form, id, start, end, {}});
  ezDoRichSelection(form, id, start, end);
}

void EZ_SCROLLTO(const std::string& form, int id, int mode, int value) {
  if (!carriedOutNow()) return ezQueueCall({EzQueuedKind::ScrollTo, form, id, mode, value, {}});
  ezDoScrollTo(form, id, mode, value);
}

void EZ_DOEVENTS(int n) {
  (void)n;
  // On another thread there is nothing to do: its calls are already queued
  // and the GUI thread handles its own window messages.
  if (!ezOnGuiThread()) return;
  ezDrainQueued();
  ezBackendHandleMessages();
}
