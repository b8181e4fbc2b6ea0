// Line errors from the driver's error counters. Linux serial drivers keep
// running counts of framing, overrun, buffer-overrun, parity and break events
// (TIOCGICOUNT) instead of error flags that a query clears; the layer keeps
// the last reading per open port and reports what rose since then.
#pragma once

#include <cstdint>

struct SerialErrorCounts {
  uint32_t frame = 0;
  uint32_t overrun = 0;
  uint32_t bufOverrun = 0;
  uint32_t parity = 0;
  uint32_t brk = 0;
};

enum class CountsResult {
  Ok,
  Unsupported,  // the driver keeps no counters (pseudo-terminals, many USB adapters)
  Gone,         // the device went away
};

// SerialLineError flags for every count that rose from `before` to `now`.
// Counters wrap; a count that fell (a driver that restarted its counting)
// is no error.
uint32_t lineErrorsBetween(const SerialErrorCounts& before, const SerialErrorCounts& now);

// Reads the counters of an open device through the installed reader.
CountsResult readErrorCounts(int fd, SerialErrorCounts& counts);

// Tests stand in for a driver that keeps counters, which pseudo-terminals do
// not. nullptr puts the driver's own counters back.
using ErrorCountReader = CountsResult (*)(int fd, SerialErrorCounts& counts);
void setErrorCountReader(ErrorCountReader reader);
