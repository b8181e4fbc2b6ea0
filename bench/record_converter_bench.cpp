// Throughput of the record conversion on a typical stream, and its cost per
// byte while a long record without a units word is pending, each beside the
// plain whole-text conversion. Prints "figure <name> <value> <unit>" lines.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "support/literal_converter.h"
#include "transfer/record_converter.h"

namespace {

using Clock = std::chrono::steady_clock;

// Blocks of 25 records of about 60 bytes, as the instrument sends them.
std::string typicalStream(size_t bytes) {
  std::string stream;
  for (int record = 0; stream.size() < bytes; ++record) {
    if (record % 25 == 0) stream += '\x85';
    stream += std::to_string(record / 25 + 1) +
              ",12/01/26,10:15:" + std::to_string(10 + record % 50) + ",12.5,1.80,0.61,0," +
              (record / 25 % 2 ? "Meters" : "Feet") + "\r\n";
  }
  return stream;
}

// Chunks as the serial line delivers them at a time.
constexpr size_t ChunkBytes = 256;

template <typename Convert>
double secondsFor(const std::string& stream, Convert convert) {
  const Clock::time_point start = Clock::now();
  for (size_t at = 0; at < stream.size(); at += ChunkBytes) {
    convert(std::string_view(stream).substr(at, ChunkBytes));
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double programTypicalSeconds(const std::string& stream) {
  PendingRecord pending;
  size_t lines = 0;
  const double s = secondsFor(stream, [&](std::string_view chunk) {
    convertChunk(pending, chunk);
    lines += writeOutRecords(pending).size();
  });
  if (lines == 0) std::puts("no records converted");
  return s;
}

double literalTypicalSeconds(const std::string& stream) {
  std::string pending;
  size_t lines = 0;
  const double s = secondsFor(stream, [&](std::string_view chunk) {
    literal::convertChunk(pending, chunk);
    lines += literal::writeOutRecords(pending).size();
  });
  if (lines == 0) std::puts("no records converted");
  return s;
}

// Both conversions take turns on the same stream and each keeps its best
// time, so that another program busy on the machine for a moment weighs on
// neither figure, and the ratio compares like with like.
struct TypicalFigures {
  double programMBps = 0;
  double literalMBps = 0;
};

TypicalFigures typicalFigures(const std::string& stream, int rounds) {
  double program = 1e9;
  double literalBest = 1e9;
  for (int round = 0; round < rounds; ++round) {
    program = std::min(program, programTypicalSeconds(stream));
    literalBest = std::min(literalBest, literalTypicalSeconds(stream));
  }
  const double megabytes = static_cast<double>(stream.size()) / 1e6;
  return {megabytes / program, megabytes / literalBest};
}

// Nanoseconds per byte of further text while `pendingBytes` wait without a
// units word.
const std::string Filler = "1,2.5,#,Fee,Mete,a,b,c,\r\n";
constexpr size_t MeasuredBytes = 64 * 1024;

std::string fillerOf(size_t bytes) {
  std::string text;
  while (text.size() < bytes) text += Filler;
  return text;
}

// One measurement; the figures keep the best of a few, as the typical one
// does, so that a moment's preemption does not make a figure.
double programPendingNsPerByteOnce(size_t pendingBytes) {
  PendingRecord pending;
  convertChunk(pending, fillerOf(pendingBytes));
  writeOutRecords(pending);
  const std::string more = fillerOf(MeasuredBytes);
  const double s = secondsFor(more, [&](std::string_view chunk) {
    convertChunk(pending, chunk);
    writeOutRecords(pending);
  });
  return s * 1e9 / static_cast<double>(more.size());
}

double literalPendingNsPerByteOnce(size_t pendingBytes, size_t measuredBytes) {
  std::string pending;
  literal::convertChunk(pending, fillerOf(pendingBytes));
  literal::writeOutRecords(pending);
  const std::string more = fillerOf(measuredBytes);
  const double s = secondsFor(more, [&](std::string_view chunk) {
    literal::convertChunk(pending, chunk);
    literal::writeOutRecords(pending);
  });
  return s * 1e9 / static_cast<double>(more.size());
}

constexpr int PendingRounds = 5;

double programPendingNsPerByte(size_t pendingBytes) {
  double best = 1e18;
  for (int round = 0; round < PendingRounds; ++round) {
    best = std::min(best, programPendingNsPerByteOnce(pendingBytes));
  }
  return best;
}

double literalPendingNsPerByte(size_t pendingBytes, size_t measuredBytes) {
  double best = 1e18;
  for (int round = 0; round < PendingRounds; ++round) {
    best = std::min(best, literalPendingNsPerByteOnce(pendingBytes, measuredBytes));
  }
  return best;
}

void figure(const char* name, double value, const char* unit) {
  std::printf("figure %s %.3f %s\n", name, value, unit);
}

}  // namespace

int main() {
  const TypicalFigures typical = typicalFigures(typicalStream(16u << 20), 5);
  figure("converter_typical_MBps", typical.programMBps, "MB/s");
  figure("converter_literal_typical_MBps", typical.literalMBps, "MB/s");
  figure("converter_typical_over_literal", typical.programMBps / typical.literalMBps, "ratio");

  const double small = programPendingNsPerByte(1024);
  figure("converter_pending_1KiB_ns_per_byte", small, "ns/byte");
  figure("converter_pending_1MiB_ns_per_byte", programPendingNsPerByte(1u << 20), "ns/byte");
  const double large = programPendingNsPerByte(16u << 20);
  figure("converter_pending_16MiB_ns_per_byte", large, "ns/byte");
  figure("converter_pending_16MiB_over_1KiB", large / small, "ratio");

  // The plain conversion copies the whole pending text per chunk: measured
  // on fewer bytes so the run stays short.
  const double literalSmall = literalPendingNsPerByte(1024, MeasuredBytes);
  figure("converter_literal_pending_1KiB_ns_per_byte", literalSmall, "ns/byte");
  figure("converter_literal_pending_1MiB_ns_per_byte", literalPendingNsPerByte(1u << 20, 8192),
         "ns/byte");
  const double literalLarge = literalPendingNsPerByte(16u << 20, 1024);
  figure("converter_literal_pending_16MiB_ns_per_byte", literalLarge, "ns/byte");
  figure("converter_literal_pending_16MiB_over_1KiB", literalLarge / literalSmall, "ratio");
  return 0;
}
