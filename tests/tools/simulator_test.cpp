// The simulated instrument's stored records: repeatable from a seed, shaped
// as the instrument's own, and read by the program's conversion as the
// records they are.
#include <algorithm>

#include <gtest/gtest.h>

#include "record_generator.h"
#include "summary/discharge.h"
#include "transfer/record_converter.h"

namespace {

std::vector<std::string> linesOf(const std::string& stream) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : stream) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  EXPECT_TRUE(line.empty()) << "the stream ends with a whole line";
  return lines;
}

TEST(SimulatedInstrument, SameSeedSameBytesOtherSeedOtherValues) {
  const sim::StoredData data{2, 5, sim::Units::Mixed, 42};
  EXPECT_EQ(sim::storedRecords(data), sim::storedRecords(data));
  sim::StoredData other = data;
  other.seed = 43;
  EXPECT_NE(sim::storedRecords(data), sim::storedRecords(other));
}

TEST(SimulatedInstrument, BlocksStartWithTheMarkerAndRecordsHaveEightColumns) {
  const sim::StoredData data{3, 4, sim::Units::Mixed, 7};
  const std::string stream = sim::storedRecords(data);
  EXPECT_EQ(std::count(stream.begin(), stream.end(), sim::BlockMarker), 3);
  EXPECT_EQ(stream.front(), sim::BlockMarker);

  int feet = 0, meters = 0;
  for (std::string line : linesOf(stream)) {
    if (!line.empty() && line.front() == sim::BlockMarker) line.erase(0, 1);
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), sim::RecordColumns - 1) << line;
    const std::string units = line.substr(line.rfind(',') + 1);
    ASSERT_TRUE(units == "Feet" || units == "Meters") << line;
    (units == "Feet" ? feet : meters)++;
  }
  EXPECT_EQ(feet, 8) << "blocks 1 and 3 in feet";
  EXPECT_EQ(meters, 4) << "block 2 in meters";
}

// Whatever the chunks, the program makes one CSV line per stored record and a
// header line per block.
TEST(SimulatedInstrument, ProgramReadsEveryRecordWhateverTheChunks) {
  const sim::StoredData data{3, 6, sim::Units::Feet, 3};
  const std::string stream = sim::storedRecords(data);
  for (size_t chunk : {size_t{1}, size_t{7}, size_t{64}, stream.size()}) {
    PendingRecord pending;
    std::vector<std::string> lines;
    for (size_t at = 0; at < stream.size(); at += chunk) {
      convertChunk(pending, std::string_view(stream).substr(at, chunk));
      for (std::string& line : writeOutRecords(pending)) lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 18u) << "chunk " << chunk;
    const size_t headers =
        static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
          return l.rfind(std::string(HeaderBlock), 0) == 0;
        }));
    EXPECT_EQ(headers, 3u);
    EXPECT_TRUE(pending.text.empty()) << "nothing left over: " << pending.text;
  }
}

// Each block, through the program's conversion and the summary, is a real
// cross-section: dry edges, stations in order, water in between, and the
// mid-section and mean-section discharges close together.
TEST(SimulatedInstrument, BlocksAreCrossSectionsTheSummaryAccepts) {
  for (uint64_t seed : {1u, 2u, 3u, 4u, 5u}) {
    const std::string stream = sim::storedRecords({3, 22, sim::Units::Mixed, seed});
    PendingRecord pending;
    convertChunk(pending, stream);
    std::string csv;
    for (const std::string& line : writeOutRecords(pending)) csv += line;
    const MeasurementFile file = readMeasurements(csv);
    ASSERT_EQ(file.measurements.size(), 3u) << "seed " << seed;
    EXPECT_TRUE(file.skipped.empty());
    for (const Measurement& m : file.measurements) {
      const Summary s = summarize(m);
      ASSERT_EQ(s.verticals.size(), 22u);
      EXPECT_EQ(s.verticals.front().depth, 0);
      EXPECT_EQ(s.verticals.back().depth, 0);
      EXPECT_EQ(s.verticals.front().velocity, 0);
      ASSERT_TRUE(s.discharge);
      EXPECT_GT(*s.discharge, 0);
      for (const std::string& flag : s.flags)
        EXPECT_EQ(flag.rfind("Note: ", 0), 0u) << "seed " << seed << ": " << flag;
    }
  }
}

}  // namespace
