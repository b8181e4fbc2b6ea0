#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "transfer/worker_thread.h"

namespace {

constexpr auto JoinPollStep = std::chrono::milliseconds(2);

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

struct ThreadStart {
  void (*body)(void*);
  void* argument;
};

void* runBody(void* start) {
  blockBrokenPipe();
  const ThreadStart what = *static_cast<ThreadStart*>(start);
  delete static_cast<ThreadStart*>(start);
  what.body(what.argument);
  return nullptr;
}

}  // namespace

bool startWorkerThread(WorkerThread& thread, void (*body)(void*), void* argument,
                       size_t stackBytes) {
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0) return false;
  pthread_attr_setstacksize(&attr, stackBytes);
  pthread_t id;
  auto* start = new ThreadStart{body, argument};
  const int rc = pthread_create(&id, &attr, runBody, start);
  pthread_attr_destroy(&attr);
  if (rc != 0) {
    delete start;
    return false;
  }
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

// Timed on the monotonic clock: pthread_timedjoin_np's deadline is on the
// wall clock, so a clock set back during Stop would lengthen its wait.
// (pthread_clockjoin_np would do too, but ThreadSanitizer does not know it
// as a join.)
bool joinWorkerThreadWithin(WorkerThread& thread, int limitMs) {
  if (!thread.running) return true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (pthread_tryjoin_np(static_cast<pthread_t>(thread.native), nullptr) != 0) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(JoinPollStep);
  }
  thread.running = false;
  thread.native = 0;
  return true;
}
