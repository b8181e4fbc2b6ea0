// The simulated instrument's memory: blocks of stored measurement records,
// made up from a seed so that the same seed always gives the same bytes.
//
// Each block is one cross-section: the block marker byte, then one line per
// measured station with the columns
//   XSec,Date,Time,Station,Depth,Velocity,Angle,Units
// each line ending CR LF. Units are the words "Feet" or "Meters".
#pragma once

#include <cstdint>
#include <string>

namespace sim {

constexpr char BlockMarker = '\x85';
constexpr int RecordColumns = 8;

enum class Units { Feet, Meters, Mixed };

struct StoredData {
  int blocks = 3;
  int recordsPerBlock = 10;
  // Mixed: the blocks alternate, starting with Feet.
  Units units = Units::Mixed;
  uint64_t seed = 1;
};

// The whole stream the instrument sends for one transfer.
std::string storedRecords(const StoredData& data);

}  // namespace sim
