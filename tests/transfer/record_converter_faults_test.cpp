// The conversion alone, fed long hostile streams in chunks of the size the
// worker takes from the line: 16 MiB that never end a record, one record of
// 16 MiB, and floods of markers, "#", NUL and line ends. The result must be the plain conversion's,
// and memory must grow with the pending text and nothing else.
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/literal_converter.h"
#include "transfer/record_converter.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// Their shadow memory and the freed memory they hold back swamp the figure.
constexpr bool MemoryIsMeasurable = false;
#else
constexpr bool MemoryIsMeasurable = true;
#endif

namespace {

constexpr size_t MiB = 1024 * 1024;
constexpr size_t ChunkBytes = 4095;  // what a pseudo-terminal hands over at most
constexpr long Slack = 8 * MiB;

long statusField(const char* name) {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(name, 0) == 0) return std::stol(line.substr(std::strlen(name))) * 1024;
  }
  return -1;
}

bool resetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

std::string repeated(const std::string& piece, size_t bytes) {
  std::string s;
  s.reserve(bytes + piece.size());
  while (s.size() < bytes) s += piece;
  return s;
}

struct Outcome {
  std::string csv;
  size_t lines = 0;
  std::string pending;
  long growth = 0;  // the most the process grew meanwhile
};

Outcome runProgram(const std::string& stream) {
  Outcome out;
  EXPECT_TRUE(resetPeak());
  const long before = statusField("VmRSS:");
  PendingRecord pending;
  for (size_t at = 0; at < stream.size(); at += ChunkBytes) {
    convertChunk(pending, std::string_view(stream).substr(at, ChunkBytes));
    for (const std::string& line : writeOutRecords(pending)) {
      // Only the count and the end are kept, as the file keeps the rest.
      ++out.lines;
      if (out.csv.size() < 4096) out.csv += line;
    }
  }
  out.growth = statusField("VmHWM:") - before;
  out.pending = std::move(pending.text);
  return out;
}

Outcome runPlain(const std::string& stream) {
  Outcome out;
  literal::convertChunk(out.pending, stream);
  for (const std::string& line : literal::writeOutRecords(out.pending)) {
    ++out.lines;
    if (out.csv.size() < 4096) out.csv += line;
  }
  return out;
}

void expectSame(const Outcome& program, const Outcome& plain) {
  EXPECT_EQ(program.lines, plain.lines);
  EXPECT_EQ(program.csv, plain.csv) << "the first lines";
  EXPECT_EQ(program.pending.size(), plain.pending.size());
  EXPECT_TRUE(program.pending == plain.pending);
}

}  // namespace

TEST(RecordConverterFaults, SixteenMebibytesWithoutAUnitsWordWaitAsOnePendingRecord) {
  const std::string stream = repeated("1,12/01/26,10:15:00,0.0,1.20,0.45,0,Fee,Mete\r\n", 16 * MiB);
  const Outcome program = runProgram(stream);
  const Outcome plain = runPlain(stream);
  expectSame(program, plain);
  EXPECT_EQ(program.lines, 0u);
  if (MemoryIsMeasurable) {
    // The pending text with the spare room of a growing string.
    EXPECT_LT(program.growth, static_cast<long>(2 * plain.pending.size()) + Slack)
        << "grew by " << program.growth / MiB << " MiB for " << plain.pending.size() / MiB
        << " MiB pending";
  }
}

TEST(RecordConverterFaults, SixteenMebibyteRecordEndedAtLast) {
  const std::string ended = repeated("a,1.5,Fe,Mete,\r\n", 16 * MiB) + "Meters\r\n";
  const Outcome program = runProgram(ended);
  const Outcome plain = runPlain(ended);
  expectSame(program, plain);
  EXPECT_EQ(program.lines, 1u);
}

TEST(RecordConverterFaults, FloodsOfMarkersAndLineEnds) {
  for (const std::string& flood :
       {std::string(16 * MiB, '\x85'), std::string(16 * MiB, '#'), repeated("\x85#", 16 * MiB),
        std::string(16 * MiB, '\0'), repeated("\r\n", 16 * MiB)}) {
    const std::string stream = flood + "a,Feet" + flood.substr(0, MiB);
    const Outcome program = runProgram(stream);
    expectSame(program, runPlain(stream));
    if (MemoryIsMeasurable) {
      EXPECT_LT(program.growth, Slack) << "grew by " << program.growth / MiB << " MiB";
    }
  }
}
