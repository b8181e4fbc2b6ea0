// Cutting the instrument's stream into CSV record lines.
#include "transfer/record_converter.h"

#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::string Header = "\rXSec,Date,Time,Station,Depth,Velocity,Angle,Units\r";
const std::string Marker = "\x85";

// One chunk through both steps, as the worker takes it.
std::vector<std::string> take(PendingRecord& pending, std::string_view chunk) {
  convertChunk(pending, chunk);
  return writeOutRecords(pending);
}

// The CSV bytes a stream given as chunks becomes.
std::string csvOf(PendingRecord& pending, std::initializer_list<std::string_view> chunks) {
  std::string csv;
  for (const std::string_view chunk : chunks) {
    for (const std::string& line : take(pending, chunk)) csv += line;
  }
  return csv;
}

std::string csvOf(std::initializer_list<std::string_view> chunks) {
  PendingRecord pending;
  return csvOf(pending, chunks);
}

TEST(RecordConverter, MarkerAndTwoRecordsGiveHeaderAndTwoLines) {
  PendingRecord pending;
  const auto lines = take(pending, Marker + "a,b,Feet\r\nc,d,Meters\r\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], Header + "a,b,Feet\n");
  EXPECT_EQ(lines[1], "c,d,Meters\n");
  EXPECT_EQ(pending.text, "");
}

TEST(RecordConverter, MarkerRunsBecomeOneHeader) {
  // Markers with NUL and line ends between them, over three chunks, and a
  // "#" of the instrument's own among them.
  EXPECT_EQ(csvOf({Marker + std::string("\0", 1) + Marker + "\r", "\n" + Marker + "#",
                   "\r\n" + Marker + "a,Feet"}),
            Header + "a,Feet\n");
  EXPECT_EQ(csvOf({"#x,Feet\r\n#", "#y,Meters"}), Header + "x,Feet\n" + Header + "y,Meters\n");
  // Every marker inside a record stands for a header of its own.
  EXPECT_EQ(csvOf({"a" + Marker + "b#c,Feet"}), "a" + Header + "b" + Header + "c,Feet\n");
}

TEST(RecordConverter, UnitsWordSplitOverChunksEndsTheRecord) {
  EXPECT_EQ(csvOf({"1,2,Fe", "et\r\n3,4,Me", "t", "ers\r\n5"}), "1,2,Feet\n3,4,Meters\n");
  // Split by line ends and NULs the instrument put in the middle.
  EXPECT_EQ(csvOf({"1,F\r\ne", std::string("e\0t", 3)}), "1,Feet\n");
}

TEST(RecordConverter, TextBeforeTheFirstUnitsWordJoinsTheFirstRecord) {
  EXPECT_EQ(csvOf({"SURVEY 12\r\n" + Marker + "\r\na,1,Feet\r\nb,2,Feet\r\n"}),
            "SURVEY 12" + Header + "a,1,Feet\nb,2,Feet\n");
}

TEST(RecordConverter, UnitsWordsAreMatchedExactly) {
  // A units word in the middle of a field cuts the record there.
  EXPECT_EQ(csvOf({"Feetham Rd,2.5,Meters\r\n"}), "Feet\nham Rd,2.5,Meters\n");
  EXPECT_EQ(csvOf({"St,FeetMeters"}), "St,Feet\nMeters\n");
  // Other letter case ends nothing.
  PendingRecord pending;
  EXPECT_EQ(csvOf(pending, {"a,FEET\r\n", "b,feet,meters,METERS"}), "");
  EXPECT_EQ(pending.text, "a,FEETb,feet,meters,METERS");
}

TEST(RecordConverter, WithoutUnitsWordEverythingWaits) {
  PendingRecord pending;
  EXPECT_EQ(csvOf(pending, {"no units here\r\n", std::string("\0more\r\n", 7)}), "");
  EXPECT_EQ(pending.text, "no units heremore");
  // Once the word comes, the waiting text is the start of that record.
  EXPECT_EQ(csvOf(pending, {",Feet"}), "no units heremore,Feet\n");
  EXPECT_EQ(pending.text, "");
}

TEST(RecordConverter, UnfinishedRecordIsContinuedByLaterData) {
  PendingRecord pending;
  EXPECT_EQ(csvOf(pending, {"a,Feet\r\nb,1"}), "a,Feet\n");
  EXPECT_EQ(pending.text, "b,1");
  // Whatever comes next, however much later, continues it.
  EXPECT_EQ(csvOf(pending, {",Meters\r\n"}), "b,1,Meters\n");
}

TEST(RecordConverter, SingleBytePendingWaitsForTheNextChunk) {
  PendingRecord pending;
  // A "$" from the instrument ends a record like a units word does; alone
  // after a conversion it is not looked at.
  EXPECT_TRUE(take(pending, "$").empty());
  EXPECT_EQ(pending.text, "$");
  const auto lines = take(pending, "b");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "\n");
  EXPECT_EQ(pending.text, "b");
  // A byte that ends nothing waits the same way.
  EXPECT_TRUE(take(pending, "\r\n").empty());
  EXPECT_EQ(pending.text, "b");
}

TEST(RecordConverter, LoneTerminatorAfterACutYieldsAnEmptyLine) {
  PendingRecord pending;
  const auto lines = take(pending, "x,Feet$");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "x,Feet\n");
  EXPECT_EQ(lines[1], "\n");
  EXPECT_EQ(pending.text, "");
}

TEST(RecordConverter, HandSetPendingTextIsConvertedInFull) {
  // A text that never went through conversion is searched from its start.
  PendingRecord pending{"p,Feet##q"};
  convertChunk(pending, "");
  EXPECT_EQ(pending.text, "p,Feet$#q");
  pending = {"x,Meters"};
  EXPECT_EQ(csvOf(pending, {"y"}), "x,Meters\n");
  EXPECT_EQ(pending.text, "y");
  // Searched for a terminator first, it is still converted in full after.
  pending = {"Feet,z"};
  EXPECT_TRUE(writeOutRecords(pending).empty());
  EXPECT_EQ(csvOf(pending, {""}), "Feet\n");
  EXPECT_EQ(pending.text, ",z");
}

}  // namespace
