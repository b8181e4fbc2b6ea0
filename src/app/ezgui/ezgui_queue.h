// Calls made from a thread other than the GUI thread (the receive worker).
// Qt widgets may only be touched on the GUI thread, so such calls are put
// on one queue in the order they were made, under a lock of our own, and the
// caller goes on at once. The GUI thread carries them out on a timer, in
// EZ_DOEVENTS, and before any GUI-thread call of the same kinds (so a text
// the GUI thread writes is never overtaken by an older queued one). The
// timer runs only while calls come in.
//
// Appends to a view and status texts are joined as they are queued, so the
// queue holds a few entries however many records arrive while the GUI
// thread is busy; only the joined text grows.
#pragma once

#include <string>

class QTimer;

// How often the GUI thread looks at the queue while calls come in: often
// enough that a status
// text appears without visible delay, seldom enough that many record lines
// arrive as one insert.
inline constexpr int EzDrainIntervalMs = 40;

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
// The drain timer's tick: carries out what is queued, and stops the timer
// once a tick finds nothing.
void ezDrainOnTimer();
// The timer that carries the queue out, for another thread to start when
// it queues a call; given by the GUI thread when it makes the timer.
void ezWatchQueueWith(QTimer* timer);
// Carries out what is queued, on the GUI thread; returns how many calls.
int ezDrainQueued();
void ezForgetQueued();  // drops what is queued (layer reset)

// What the queued calls do, carried out on the GUI thread.
void ezDoStatusText(const std::string& form, int id, int part, const std::string& text);
void ezDoRichSelection(const std::string& form, int id, int start, int end);
void ezDoRichText(const std::string& form, int id, const std::string& text, int a, int b);
void ezDoScrollTo(const std::string& form, int id, int mode, int value);
// The selection put at the end and `text` inserted there: what a run of
// (EZ_SETRICHSEL -1 -1, EZ_SETRICHTEXT 0 1) pairs amounts to, done at once.
void ezDoRichAppend(const std::string& form, int id, const std::string& text);
