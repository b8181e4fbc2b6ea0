#include <pthread.h>
#include <signal.h>

#include "transfer/worker_thread.h"

namespace {

// The worker writes to files the user named, which may be pipes. A write to
// a pipe whose reader has gone must fail like any other failed write, not
// end the whole program with SIGPIPE; the signal is raised on the writing
// thread, so blocking it there is enough.
void blockBrokenPipe() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void* runBody(void* body) {
  blockBrokenPipe();
  reinterpret_cast<void (*)()>(body)();
  return nullptr;
}

}  // namespace

bool startWorkerThread(WorkerThread& thread, void (*body)(), size_t stackBytes) {
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0) return false;
  pthread_attr_setstacksize(&attr, stackBytes);
  pthread_t id;
  const int rc = pthread_create(&id, &attr, runBody, reinterpret_cast<void*>(body));
  pthread_attr_destroy(&attr);
  if (rc != 0) return false;
  thread.native = static_cast<unsigned long>(id);
  thread.running = true;
  return true;
}

void joinWorkerThread(WorkerThread& thread) {
  if (!thread.running) return;
  pthread_join(static_cast<pthread_t>(thread.native), nullptr);
  thread.running = false;
  thread.native = 0;
}
