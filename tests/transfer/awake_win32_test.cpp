// Keeping Windows awake during a transfer, through the thread's execution
// state. Each query below sets the state too, so it asks for what it
// expects to find.
#include <windows.h>

#include <gtest/gtest.h>

#include "transfer/awake.h"

namespace {

constexpr EXECUTION_STATE Awake = ES_CONTINUOUS | ES_SYSTEM_REQUIRED;

}  // namespace

TEST(AwakeWin32, HeldUntilReleasedAndASecondHoldChangesNothing) {
  SetThreadExecutionState(ES_CONTINUOUS);
  holdAwake();
  EXPECT_EQ(SetThreadExecutionState(Awake), Awake);
  holdAwake();
  releaseAwake();
  EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
  releaseAwake();
  EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
}
