#include <windows.h>

#include "transfer/awake.h"

namespace {

bool AwakeHeld = false;

}  // namespace

// The state belongs to the calling thread; both calls come from the
// window's thread.
void holdAwake() {
  if (AwakeHeld) return;
  AwakeHeld = true;
  SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
}

void releaseAwake() {
  if (!AwakeHeld) return;
  AwakeHeld = false;
  SetThreadExecutionState(ES_CONTINUOUS);
}
