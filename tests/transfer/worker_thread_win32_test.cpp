// The receive worker's thread on Windows: its stack, and a join that waits.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "transfer/worker_thread.h"

namespace {

// What the thread body saw.
std::atomic<DWORD> bodyThreadId{0};
std::atomic<size_t> bodyStackReserved{0};
std::atomic<bool> bodyFinished{false};
std::atomic<bool> mayEnd{false};
std::atomic<bool> heldBodyEnded{false};

// The reserved stack is one allocation, the one that holds the current
// frame: the sum of its regions.
size_t reservedStackOfThisThread() {
  MEMORY_BASIC_INFORMATION region{};
  const int local = 0;
  if (VirtualQuery(&local, &region, sizeof region) == 0) return 0;
  const void* base = region.AllocationBase;
  const char* address = static_cast<const char*>(base);
  size_t total = 0;
  while (VirtualQuery(address, &region, sizeof region) != 0 && region.AllocationBase == base) {
    total += region.RegionSize;
    address += region.RegionSize;
  }
  return total;
}

void body(void*) {
  bodyThreadId = GetCurrentThreadId();
  bodyStackReserved = reservedStackOfThisThread();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  bodyFinished = true;
}

// Runs until the test lets it end.
void heldBody(void*) {
  while (!mayEnd) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  heldBodyEnded = true;
}

// Joins without waiting until the thread has ended, for at most 2 s.
bool waitUntilJoined(WorkerThread& thread) {
  for (int i = 0; i < 2000; ++i) {
    if (joinWorkerThreadWithin(thread, 0)) return true;
    Sleep(1);
  }
  return false;
}

}  // namespace

TEST(WorkerThreadWin32, RunsOnItsOwnThreadWithAOneMebibyteStackAndJoinWaits) {
  WorkerThread thread;
  ASSERT_TRUE(startWorkerThread(thread, body, nullptr, 1048576));
  EXPECT_TRUE(thread.running);
  joinWorkerThread(thread);
  EXPECT_TRUE(bodyFinished);
  EXPECT_FALSE(thread.running);
  EXPECT_NE(bodyThreadId.load(), 0u);
  EXPECT_NE(bodyThreadId.load(), GetCurrentThreadId());
  EXPECT_EQ(bodyStackReserved.load(), 1048576u);
}

TEST(WorkerThreadWin32, JoiningAThreadNotRunningDoesNothing) {
  WorkerThread thread;
  joinWorkerThread(thread);
  EXPECT_FALSE(thread.running);
  ASSERT_TRUE(startWorkerThread(thread, body, nullptr, 1048576));
  joinWorkerThread(thread);
  joinWorkerThread(thread);
  EXPECT_FALSE(thread.running);
}

// A join that gives up keeps the thread: it counts as ended only once a
// later join has found it so.
TEST(WorkerThreadWin32, JoinWithinALimitWaitsNoLongerAndKeepsTheThreadUntilItHasEnded) {
  WorkerThread thread;
  mayEnd = false;
  heldBodyEnded = false;
  ASSERT_TRUE(startWorkerThread(thread, heldBody, nullptr, 1048576));
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(joinWorkerThreadWithin(thread, 100));
  EXPECT_GE(GetTickCount64() - start, 90u);
  EXPECT_TRUE(thread.running);
  EXPECT_FALSE(joinWorkerThreadWithin(thread, 0));
  EXPECT_TRUE(thread.running);

  mayEnd = true;
  for (int i = 0; i < 2000 && !heldBodyEnded; ++i) Sleep(1);
  EXPECT_TRUE(heldBodyEnded);
  EXPECT_TRUE(waitUntilJoined(thread));
  EXPECT_FALSE(thread.running);
}
