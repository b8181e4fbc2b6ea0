// The receive worker's shared counters under real contention: the window's
// thread resets the progress dots (a port scan, the stop) while the worker
// counts them up.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "transfer/receive_worker.h"
#include "transfer/transfer_state.h"

// The worker counts on from -1 to 0 only when it saw the reset: a count
// computed from the value before the reset and stored over it loses it, and
// the next refresh goes on with the old dots.
TEST(DotCountFaults, AResetFromTheWindowIsNeverLostToTheWorkersCount) {
  constexpr int kResets = 4000;
  DotCount = 5;
  std::atomic<bool> done{false};
  int countedFromReset = 0;
  std::thread worker([&] {
    while (!done.load()) {
      if (advanceDotCount() == 0) ++countedFromReset;
    }
  });
  for (int i = 0; i < kResets; ++i) {
    DotCount = -1;
    while (DotCount.load() == -1) std::this_thread::yield();
  }
  done = true;
  worker.join();
  EXPECT_EQ(countedFromReset, kResets);
}
