#include "transfer/serial_counters_posix.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <atomic>
#include <cerrno>

#include "transfer/serial_port.h"

namespace {

CountsResult driverCounts(int fd, SerialErrorCounts& counts) {
  serial_icounter_struct icount{};
  if (ioctl(fd, TIOCGICOUNT, &icount) != 0) {
    return (errno == EIO || errno == ENXIO || errno == ENODEV) ? CountsResult::Gone
                                                               : CountsResult::Unsupported;
  }
  counts.frame = static_cast<uint32_t>(icount.frame);
  counts.overrun = static_cast<uint32_t>(icount.overrun);
  counts.bufOverrun = static_cast<uint32_t>(icount.buf_overrun);
  counts.parity = static_cast<uint32_t>(icount.parity);
  counts.brk = static_cast<uint32_t>(icount.brk);
  return CountsResult::Ok;
}

// Written by a test before the link opens, read by whichever thread polls.
std::atomic<ErrorCountReader> countReader{nullptr};

bool rose(uint32_t before, uint32_t now) {
  const uint32_t delta = now - before;
  return delta != 0 && delta < 0x80000000u;
}

}  // namespace

uint32_t lineErrorsBetween(const SerialErrorCounts& before, const SerialErrorCounts& now) {
  uint32_t errors = 0;
  if (rose(before.frame, now.frame)) errors |= SerialErrFrame;
  if (rose(before.overrun, now.overrun)) errors |= SerialErrOverrun;
  if (rose(before.bufOverrun, now.bufOverrun)) errors |= SerialErrRxOver;
  if (rose(before.parity, now.parity)) errors |= SerialErrParity;
  if (rose(before.brk, now.brk)) errors |= SerialErrBreak;
  return errors;
}

CountsResult readErrorCounts(int fd, SerialErrorCounts& counts) {
  const ErrorCountReader reader = countReader.load();
  return reader ? reader(fd, counts) : driverCounts(fd, counts);
}

void setErrorCountReader(ErrorCountReader reader) {
  countReader.store(reader);
}
