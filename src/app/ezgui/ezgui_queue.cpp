#include "app/ezgui/ezgui_queue.h"

#include <QCoreApplication>
#include <deque>
#include <mutex>
#include <vector>

#include "app/ezgui/ezgui_readback.h"
#include "app/ezgui/ezgui_state.h"

namespace {

struct EzCallQueue {
  std::mutex lock;
  std::deque<EzQueuedCall> calls;
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

// Record lines appended to one view in a row, waiting to go in as one insert.
struct PendingAppend {
  std::string formKey;
  std::string form;
  int id = 0;
  std::string text;
  bool scroll = false;
  int scrollValue = 0;
};

class AppendBatcher {
 public:
  PendingAppend* find(const EzQueuedCall& c) {
    const std::string key = ezKey(c.form);
    for (auto& p : pending_) {
      if (p.formKey == key && p.id == c.id) return &p;
    }
    return nullptr;
  }

  void add(const EzQueuedCall& c, const std::string& text) {
    PendingAppend* p = find(c);
    if (!p) {
      pending_.push_back(PendingAppend{ezKey(c.form), c.form, c.id, {}, false, 0});
      p = &pending_.back();
    }
    p->text += text;
  }

  void flush(const EzQueuedCall& c) {
    for (size_t i = 0; i < pending_.size(); ++i) {
      if (pending_[i].formKey == ezKey(c.form) && pending_[i].id == c.id) {
        carryOut(pending_[i]);
        pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(i));
        return;
      }
    }
  }

  void flushAll() {
    for (auto& p : pending_) carryOut(p);
    pending_.clear();
  }

 private:
  static void carryOut(const PendingAppend& p) {
    ezDoRichAppend(p.form, p.id, p.text);
    if (p.scroll) ezDoScrollTo(p.form, p.id, 1, p.scrollValue);
  }

  std::vector<PendingAppend> pending_;
};

void carryOut(const EzQueuedCall& c) {
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

}  // namespace

void ezQueueCall(EzQueuedCall call) {
  std::lock_guard<std::mutex> hold(Queued.lock);
  Queued.calls.push_back(std::move(call));
}

void ezForgetQueued() {
  std::lock_guard<std::mutex> hold(Queued.lock);
  Queued.calls.clear();
}

int ezDrainQueued() {
  if (!ezOnGuiThread()) return 0;
  std::deque<EzQueuedCall> calls;
  {
    std::lock_guard<std::mutex> hold(Queued.lock);
    calls.swap(Queued.calls);
  }
  // Nothing is painted while the queue is carried out, so a run of appends
  // to one view shows the same as one insert of their joined text.
  AppendBatcher batch;
  for (size_t i = 0; i < calls.size(); ++i) {
    const EzQueuedCall& c = calls[i];
    if (isAppendStart(c) && i + 1 < calls.size() && isInsert(calls[i + 1]) &&
        ezKey(calls[i + 1].form) == ezKey(c.form) && calls[i + 1].id == c.id) {
      batch.add(c, calls[i + 1].text);
      ++i;
      continue;
    }
    if (PendingAppend* p = batch.find(c); p && isScrollToEnd(c)) {
      p->scroll = true;
      p->scrollValue = c.b;
      continue;
    }
    batch.flush(c);
    carryOut(c);
  }
  batch.flushAll();
  return static_cast<int>(calls.size());
}

void EZ_DOEVENTS(int n) {
  (void)n;
  // On another thread there is nothing to do: its calls are already queued
  // and the GUI thread handles its own window messages.
  if (!ezOnGuiThread()) return;
  ezDrainQueued();
  QCoreApplication::processEvents();
}
