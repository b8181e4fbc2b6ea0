// The receive worker's thread: started with a stack of a given size, and
// joined by the stop sequence so that the worker has left the link and both
// files before they are closed (or, when it does not end in time, let go).
#pragma once

#include <cstddef>

struct WorkerThread {
  bool running = false;
  unsigned long native = 0;  // the platform's thread identifier
};

// Starts `body` on a new thread with `stackBytes` of stack. False when the
// thread could not be created.
bool startWorkerThread(WorkerThread& thread, void (*body)(), size_t stackBytes);
// Waits until the thread has ended. Does nothing for a thread not running.
void joinWorkerThread(WorkerThread& thread);
// Waits at most `limitMs` for the thread to end; true when it has (or was
// not running), false when it still runs.
bool joinWorkerThreadWithin(WorkerThread& thread, int limitMs);
// Lets a thread that still runs end on its own; the handle is given up.
void detachWorkerThread(WorkerThread& thread);
