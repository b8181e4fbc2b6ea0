// The program's conversion, which looks only at what each chunk changed, must
// give exactly what the plain whole-text conversion gives: the same lines in
// the same order and the same pending text, for any stream cut anywhere.
#include <random>

#include <gtest/gtest.h>

#include "support/literal_converter.h"
#include "transfer/record_converter.h"

namespace {

// Bytes weighted toward what makes records: units words, markers, "#", "$",
// line ends and NULs, among ordinary text.
std::string randomStream(std::mt19937& random, size_t length) {
  static constexpr std::string_view Pieces[] = {
      "F",    "e",     "t",    "M",      "r",
      "s",    "#",     "$",    "\x85",   std::string_view("\0", 1),
      "\r",   "\n",    "Feet", "Meters", "Fee",
      "Met",  "ers",   "eet",  "1",      ",",
      "a",    " ",     "\r\n", "##",     "\x85\x85",
      "feet", "METERS"};
  std::uniform_int_distribution<size_t> pick(0, std::size(Pieces) - 1);
  std::string stream;
  while (stream.size() < length) stream += Pieces[pick(random)];
  return stream;
}

struct Outcome {
  std::vector<std::string> lines;
  std::string pending;
};

Outcome runProgram(std::string_view stream, const std::vector<size_t>& cuts, PendingRecord start) {
  Outcome out;
  size_t at = 0;
  for (size_t cut : cuts) {
    convertChunk(start, stream.substr(at, cut - at));
    for (std::string& line : writeOutRecords(start)) out.lines.push_back(line);
    at = cut;
  }
  out.pending = start.text;
  return out;
}

Outcome runLiteral(std::string_view stream, const std::vector<size_t>& cuts, std::string start) {
  Outcome out;
  size_t at = 0;
  for (size_t cut : cuts) {
    literal::convertChunk(start, stream.substr(at, cut - at));
    for (std::string& line : literal::writeOutRecords(start)) out.lines.push_back(line);
    at = cut;
  }
  out.pending = start;
  return out;
}

std::vector<size_t> randomCuts(std::mt19937& random, size_t length) {
  std::uniform_int_distribution<size_t> step(0, 12);  // empty chunks too
  std::vector<size_t> cuts;
  for (size_t at = 0; at < length;) {
    at = std::min(length, at + step(random));
    cuts.push_back(at);
  }
  return cuts;
}

TEST(RecordConverterIdentity, ThousandsOfRandomStreamsInRandomChunks) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 4000; ++round) {
    const std::string stream = randomStream(random, 1 + random() % 200);
    const std::vector<size_t> cuts = randomCuts(random, stream.size());
    const Outcome program = runProgram(stream, cuts, {});
    const Outcome literal = runLiteral(stream, cuts, "");
    ASSERT_EQ(program.lines, literal.lines) << "round " << round;
    ASSERT_EQ(program.pending, literal.pending) << "round " << round;
  }
}

TEST(RecordConverterIdentity, UnfinishedRecordCarriedIntoAStreamThatContinuesIt) {
  std::mt19937 random(7);
  for (int round = 0; round < 500; ++round) {
    const std::string earlier = randomStream(random, random() % 40);
    const std::string stream = randomStream(random, 1 + random() % 120);
    // Whatever the earlier run left, the next run starts from it.
    PendingRecord programStart;
    convertChunk(programStart, earlier);
    writeOutRecords(programStart);
    std::string literalStart;
    literal::convertChunk(literalStart, earlier);
    literal::writeOutRecords(literalStart);
    ASSERT_EQ(programStart.text, literalStart);

    const std::vector<size_t> cuts = randomCuts(random, stream.size());
    const Outcome program = runProgram(stream, cuts, programStart);
    const Outcome literal = runLiteral(stream, cuts, literalStart);
    ASSERT_EQ(program.lines, literal.lines) << "round " << round;
    ASSERT_EQ(program.pending, literal.pending) << "round " << round;
  }
}

TEST(RecordConverterIdentity, LongTextWithoutUnitsWordThenTheWordAtLast) {
  std::mt19937 random(99);
  std::string stream;
  while (stream.size() < 20000) stream += "1,2.5,#,Fee,Mete,t,s,\r\n";
  stream +=
      "Meters\r\n\x85"
      "9,Feet";
  const std::vector<size_t> cuts = randomCuts(random, stream.size());
  const Outcome program = runProgram(stream, cuts, {});
  const Outcome literal = runLiteral(stream, cuts, "");
  EXPECT_EQ(program.lines, literal.lines);
  EXPECT_EQ(program.pending, literal.pending);
  ASSERT_EQ(program.lines.size(), 2u) << "the long record, then the marked one";
}

}  // namespace
