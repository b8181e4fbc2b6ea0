// The receive worker's thread: started with a stack of a given size, and
// joined by the stop sequence so that the worker has left the link and both
// files before they are closed. One that does not end in time is kept and
// joined later: a worker counts as finished only once its thread has ended.
#pragma once

#include <cstddef>

struct WorkerThread {
  bool running = false;
  unsigned long native = 0;  // the platform's thread identifier
};

// Starts `body(argument)` on a new thread with `stackBytes` of stack. False
// when the thread could not be created.
bool startWorkerThread(WorkerThread& thread, void (*body)(void*), void* argument,
                       size_t stackBytes);
// Waits until the thread has ended. Does nothing for a thread not running.
void joinWorkerThread(WorkerThread& thread);
// Waits at most `limitMs` (0: not at all) for the thread to end, timed on a
// clock that setting the time of day does not move; true when it has ended
// (or was not running), false when it still runs and the handle is kept.
bool joinWorkerThreadWithin(WorkerThread& thread, int limitMs);
