// Calls made from a thread other than the GUI thread (the receive worker).
// A toolkit's windows may only be touched on the GUI thread, so such calls
// are put on one queue in the order they were made, under a lock of our
// own, and the caller goes on at once. The GUI thread carries them out when
// the backend wakes it for the queue, in EZ_DOEVENTS, and before any
// GUI-thread call of the same kinds (so a text the GUI thread writes is
// never overtaken by an older queued one).
//
// Appends to a view and status texts are joined as they are queued
// (ezgui_queue_join), so the queue holds a few entries however many records
// arrive while the GUI thread is busy; only the joined text grows.
#pragma once

#include <string>

enum class EzQueuedKind { StatusText, RichSelection, RichText, ScrollTo };

struct EzQueuedCall {
  EzQueuedKind kind = EzQueuedKind::StatusText;
  std::string form;
  int id = 0;
  int a = 0;  // status part; selection start; rich-text a; scroll mode
  int b = 0;  // selection end; rich-text b; scroll value
  std::string text;
};

void ezQueueCall(EzQueuedCall call);
// Carries out what is queued, on the GUI thread; returns how many calls.
int ezDrainQueued();
// Whether nothing waits; when so, the next call queued wakes the GUI
// thread afresh (a backend that keeps waking while calls come asks this to
// know when to stop).
bool ezQueueSettledIfEmpty();
void ezForgetQueued();  // drops what is queued (layer reset, end of the loop)
int ezQueuedCount();    // how many entries wait (tests)
