// Paces the sending to a line rate. A line never sends faster than its
// rate, and after a stall (the program not reading, the process not
// scheduled) it does not make up for lost time in one burst either: at most
// a tenth of a second's worth goes out at once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace sim {

class Pacer {
 public:
  // rate in bytes per second; 0 sends as fast as possible.
  explicit Pacer(int rate) : rate_(rate) {}

  void start(double now) { base_ = now; }

  // Bytes that may go out at `now` when `sent` have gone out since start().
  size_t due(double now, uint64_t sent) {
    if (rate_ <= 0) return SIZE_MAX;
    const double burst = std::max(1.0, rate_ / 10.0);
    double ideal = (now - base_) * rate_;
    if (ideal - static_cast<double>(sent) > burst) {
      base_ = now - (static_cast<double>(sent) + burst) / rate_;
      ideal = static_cast<double>(sent) + burst;
    }
    return ideal > static_cast<double>(sent) ? static_cast<size_t>(ideal - sent) : 0;
  }

  // Seconds from `now` until the next byte is due (0 when one is due).
  double wait(double now, uint64_t sent) const {
    if (rate_ <= 0) return 0;
    const double at = base_ + static_cast<double>(sent + 1) / rate_;
    return std::max(0.0, at - now);
  }

 private:
  int rate_;
  double base_ = 0;
};

}  // namespace sim
