// How calls from another thread are joined as they are queued, the same in
// every GUI layer. An entry is a call as it was made, or a run of lines
// appended to one view (selection put at the end, text inserted there)
// joined into one insert, with the scroll to the end that came among them.
//
// Calls are joined as they are queued, not only when they are carried out:
// while the GUI thread is busy elsewhere (a port scan, a message box) a
// flood of records must not pile up one call per record. Joining changes
// nothing a user can see, because nothing is painted while the queue is
// carried out: a run of appends shows as the one insert of their text, and
// of several status texts for one part only the last would ever show.
#pragma once

#include <deque>
#include <string>

#include "app/ezgui/ezgui_queue.h"

struct EzQueueEntry {
  EzQueuedCall call;
  std::string key;  // the form's registry key
  bool append = false;
  bool scroll = false;
  int scrollValue = 0;
};

// Joins `call` (for the form with registry key `key`) into what waits;
// false when it must be queued as an entry of its own.
bool ezJoinQueued(std::deque<EzQueueEntry>& entries, const EzQueuedCall& call,
                  const std::string& key);
