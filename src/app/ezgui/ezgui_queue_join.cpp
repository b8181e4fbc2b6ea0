#include "app/ezgui/ezgui_queue_join.h"

namespace {

bool isAppendStart(const EzQueuedCall& c) {
  return c.kind == EzQueuedKind::RichSelection && c.a == -1 && c.b == -1;
}

bool isInsert(const EzQueuedCall& c) {
  return c.kind == EzQueuedKind::RichText && c.a == 0 && c.b == 1;
}

bool isScrollToEnd(const EzQueuedCall& c) {
  return c.kind == EzQueuedKind::ScrollTo && c.a == 1;
}

bool sameControl(const EzQueueEntry& e, const std::string& key, int id) {
  return e.call.id == id && e.key == key;
}

// The last entry for the control `key`/`id` at or before `from`, skipping
// those of other controls; entries.end() when there is none.
std::deque<EzQueueEntry>::iterator lastFor(std::deque<EzQueueEntry>& entries,
                                           std::deque<EzQueueEntry>::iterator from,
                                           const std::string& key, int id) {
  for (auto it = from; it != entries.begin();) {
    --it;
    if (sameControl(*it, key, id)) return it;
  }
  return entries.end();
}

// An insert after a selection put at the end: an append, joined to the one
// before it for the same view when there is one.
bool joinInsert(std::deque<EzQueueEntry>& entries, const EzQueuedCall& call,
                const std::string& key) {
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

bool joinScroll(std::deque<EzQueueEntry>& entries, const EzQueuedCall& call,
                const std::string& key) {
  const auto last = lastFor(entries, entries.end(), key, call.id);
  if (last == entries.end() || !last->append) return false;
  last->scroll = true;
  last->scrollValue = call.b;
  return true;
}

// A newer text for a status part replaces one still waiting.
bool joinStatus(std::deque<EzQueueEntry>& entries, const EzQueuedCall& call,
                const std::string& key) {
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

}  // namespace

bool ezJoinQueued(std::deque<EzQueueEntry>& entries, const EzQueuedCall& call,
                  const std::string& key) {
  if (isInsert(call)) return joinInsert(entries, call, key);
  if (isScrollToEnd(call)) return joinScroll(entries, call, key);
  if (call.kind == EzQueuedKind::StatusText) return joinStatus(entries, call, key);
  return false;
}
