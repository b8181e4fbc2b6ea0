#include <windows.h>

#include "app/running_mark.h"

// A named mutex in the user's session. Its handle stays open on purpose:
// the system closes it, and so ends the mark, when the process ends however
// it ends.
void markRunning() {
  CreateMutexW(nullptr, FALSE, RunningMarkName);
}
