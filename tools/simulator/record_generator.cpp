#include "record_generator.h"

#include <cstdio>

namespace sim {

namespace {

// splitmix64: small, and the same sequence on every compiler and library,
// which the standard distributions do not promise.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}

  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A whole number in [low, high].
  int between(int low, int high) {
    const uint64_t span = static_cast<uint64_t>(high - low) + 1;
    return low + static_cast<int>(next() % span);
  }

 private:
  uint64_t state_;
};

// Everything below is kept in whole hundredths (or tenths) so that no
// floating-point rounding can make two runs differ.
struct Channel {
  bool meters = false;
  int widthTenths = 0;  // water's edge to water's edge
  int maxDepthHundredths = 0;
  int maxSpeedHundredths = 0;  // per second, in the block's unit
};

struct Clock {
  int year = 2024, month = 1, day = 1;
  int seconds = 0;  // since midnight
};

Channel channelFor(bool meters, Random& random) {
  Channel c;
  c.meters = meters;
  if (meters) {
    c.widthTenths = random.between(30, 180);
    c.maxDepthHundredths = random.between(40, 150);
    c.maxSpeedHundredths = random.between(30, 120);
  } else {
    c.widthTenths = random.between(100, 600);
    c.maxDepthHundredths = random.between(130, 490);
    c.maxSpeedHundredths = random.between(100, 400);
  }
  return c;
}

std::string fixed(int value, int decimals) {
  const int scale = decimals == 1 ? 10 : 100;
  char text[32];
  std::snprintf(text, sizeof text, decimals == 1 ? "%d.%01d" : "%d.%02d", value / scale,
                value % scale);
  return text;
}

std::string dateText(const Clock& clock) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", clock.month, clock.day, clock.year);
  return text;
}

std::string timeText(const Clock& clock) {
  const int s = clock.seconds % 86400;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
  return text;
}

void nextDay(Clock& clock) {
  static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = clock.year % 4 == 0 && (clock.year % 100 != 0 || clock.year % 400 == 0);
  const int inMonth = Days[clock.month - 1] + (clock.month == 2 && leap ? 1 : 0);
  if (++clock.day > inMonth) {
    clock.day = 1;
    if (++clock.month > 12) {
      clock.month = 1;
      ++clock.year;
    }
  }
}

int squareRoot(long value) {
  long root = 0;
  while ((root + 1) * (root + 1) <= value) ++root;
  return static_cast<int>(root);
}

// A real cross-section, measured from the left bank: the water's edges have
// no depth and no velocity, the bed is a parabola deepest mid-stream, and the
// velocity grows with the depth as in an open channel (about as its square
// root here), with a little measuring noise on both.
std::string recordLine(int xsec, const Clock& clock, const Channel& c, int index, int count,
                       Random& random) {
  const int station = count > 1 ? c.widthTenths * index / (count - 1) : c.widthTenths / 2;
  const bool edge = count > 1 && (index == 0 || index == count - 1);
  // u runs over 0..1000 across the channel; shape is 0 at the edges, 1000 mid-stream.
  const long u = c.widthTenths > 0 ? 1000L * station / c.widthTenths : 500;
  const long shape = 4 * u * (1000 - u) / 1000;
  int depth = 0;
  int speed = 0;
  if (!edge) {
    depth = static_cast<int>(c.maxDepthHundredths * shape / 1000) + random.between(-3, 3);
    if (depth < 3) depth = 3 + random.between(0, 2);
    speed =
        static_cast<int>(c.maxSpeedHundredths * (250 + 3 * squareRoot(shape * 1000) / 4) / 1000) +
        random.between(-4, 4);
    if (speed < 1) speed = 1 + random.between(0, 2);
  }
  const int angle = edge ? 0 : random.between(0, 8);

  std::string line = std::to_string(xsec);
  line += ',' + dateText(clock) + ',' + timeText(clock) + ',' + fixed(station, 1) + ',' +
          fixed(depth, 2) + ',' + fixed(speed, 2) + ',' + std::to_string(angle) + ',' +
          (c.meters ? "Meters" : "Feet") + "\r\n";
  return line;
}

bool blockInMeters(Units units, int block) {
  if (units == Units::Mixed) return block % 2 == 1;
  return units == Units::Meters;
}

}  // namespace

std::string storedRecords(const StoredData& data) {
  Random random(data.seed);
  Clock clock;
  clock.year = random.between(2023, 2025);
  clock.month = random.between(1, 12);
  clock.day = random.between(1, 28);
  clock.seconds = random.between(7 * 3600, 10 * 3600);
  const int firstXsec = random.between(1, 40);

  std::string out;
  for (int b = 0; b < data.blocks; ++b) {
    const Channel channel = channelFor(blockInMeters(data.units, b), random);
    out += BlockMarker;
    for (int r = 0; r < data.recordsPerBlock; ++r) {
      out += recordLine(firstXsec + b, clock, channel, r, data.recordsPerBlock, random);
      clock.seconds += random.between(40, 95);
    }
    // Next cross-section: a walk and a set-up later, sometimes the next day.
    clock.seconds += random.between(20 * 60, 90 * 60);
    if (clock.seconds >= 17 * 3600) {
      nextDay(clock);
      clock.seconds = random.between(7 * 3600, 10 * 3600);
    }
  }
  return out;
}

}  // namespace sim
