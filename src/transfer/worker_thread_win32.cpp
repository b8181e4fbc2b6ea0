#include <process.h>
#include <windows.h>

#include "transfer/worker_thread.h"

namespace {

struct ThreadStart {
  void (*body)(void*);
  void* argument;
};

unsigned __stdcall runBody(void* start) {
  const ThreadStart what = *static_cast<ThreadStart*>(start);
  delete static_cast<ThreadStart*>(start);
  what.body(what.argument);
  return 0;
}

// Kernel handles carry only 32 significant bits, so Windows guarantees that
// one survives being truncated to a 32-bit integer and sign-extended back:
// it fits the identifier's unsigned long, which is 32 bits here.
unsigned long handleToNative(HANDLE handle) {
  return static_cast<unsigned long>(HandleToLong(handle));
}

HANDLE nativeToHandle(unsigned long native) {
  return LongToHandle(static_cast<long>(native));
}

}  // namespace

bool startWorkerThread(WorkerThread& thread, void (*body)(void*), void* argument,
                       size_t stackBytes) {
  // The C runtime's own thread start, so the worker may use all of it. The
  // size is the whole stack reserved, not only its first commit.
  auto* start = new ThreadStart{body, argument};
  const uintptr_t handle = _beginthreadex(nullptr, static_cast<unsigned>(stackBytes), runBody,
                                          start, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (handle == 0) {
    delete start;
    return false;
  }
  thread.native = handleToNative(reinterpret_cast<HANDLE>(handle));
  thread.running = true;
  return true;
}

void joinWorkerThread(WorkerThread& thread) {
  if (!thread.running) return;
  const HANDLE handle = nativeToHandle(thread.native);
  WaitForSingleObject(handle, INFINITE);
  CloseHandle(handle);
  thread.running = false;
  thread.native = 0;
}

// WaitForSingleObject times its limit on the system's tick count, which
// setting the time of day does not move.
bool joinWorkerThreadWithin(WorkerThread& thread, int limitMs) {
  if (!thread.running) return true;
  const HANDLE handle = nativeToHandle(thread.native);
  if (WaitForSingleObject(handle, static_cast<DWORD>(limitMs > 0 ? limitMs : 0)) != WAIT_OBJECT_0) {
    return false;
  }
  CloseHandle(handle);
  thread.running = false;
  thread.native = 0;
  return true;
}
