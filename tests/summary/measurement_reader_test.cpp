// Reading the program's CSV files back: blocks, measurements, and the
// records that cannot be used, each listed with its line and reason.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "summary/measurement_reader.h"

namespace {

const std::string Header = "\rXSec,Date,Time,Station,Depth,Velocity,Angle,Units\r";

TEST(MeasurementReader, BlocksAndRunsOfOneXSecAreMeasurements) {
  const MeasurementFile file = readMeasurements(
      Header + "4,12/01/26,10:15:00,0.0,0.00,0.00,,Feet\n" +
      "4,12/01/26,10:16:00, 2.5 ,1.20,0.61,10,Feet\n" +          // spaces around a number
      "5,12/01/26,11:00:00,0.0,0.00,0.00,0,Meters\n" +           // another XSec
      Header + "5,12/01/27,08:00:00,1.0,0.50,0.20,0,Meters\n" +  // same XSec, new block
      "5,12/01/27,08:01:00,2.0,0.50,0.20,0,Meters");             // no LF at the end
  ASSERT_EQ(file.measurements.size(), 3u);
  EXPECT_TRUE(file.skipped.empty());
  const Measurement& first = file.measurements[0];
  EXPECT_EQ(first.xsec, "4");
  EXPECT_EQ(first.block, 1);
  EXPECT_EQ(first.date, "12/01/26");
  EXPECT_EQ(first.time, "10:15:00");
  ASSERT_EQ(first.records.size(), 2u);
  EXPECT_EQ(first.records[0].angleRead, AngleRead::Blank);
  EXPECT_EQ(first.records[1].line, 2);
  EXPECT_EQ(first.records[1].station, 2.5);
  EXPECT_EQ(first.records[1].angle, 10);
  EXPECT_EQ(file.measurements[1].block, 1);
  EXPECT_EQ(file.measurements[1].records[0].units, Units::Meters);
  EXPECT_EQ(file.measurements[2].block, 2);
  EXPECT_EQ(file.measurements[2].records.size(), 2u);
}

TEST(MeasurementReader, RecordsBeforeTheFirstHeaderAreABlockOfTheirOwn) {
  const MeasurementFile file =
      readMeasurements("1,d,t,0,0,0,,Feet\n" + Header + "1,d,t,0,0,0,,Feet\n");
  ASSERT_EQ(file.measurements.size(), 2u);
  EXPECT_EQ(file.measurements[0].block, 1);
  EXPECT_EQ(file.measurements[1].block, 2);
}

TEST(MeasurementReader, BadRecordsAreSkippedWithLineAndReason) {
  const MeasurementFile file =
      readMeasurements(Header + "1,d,t,0,0,0,,Feet\n" +  // line 1: good
                       "1,d,t,abc,1,1,,Feet\n"           // 2
                       "1,d,t,2\n"                       // 3
                       "1,d,t,2,1,x,,Feet\n"             // 4
                       "1,d,t,2,1,1,,Feet,9\n"           // 5
                       "1,d,t,2,-1,1,,Feet\n"            // 6
                       "1,d,t,2,1,1,,Yards\n"            // 7
                       "1,d,t,2,nan,1,,Feet\n"           // 8
                       "\n"                              // 9: an empty record says nothing
                       "1,d,t,2,1,1,north,Feet\n");      // 10: kept, the angle flagged later
  const std::vector<std::pair<int, std::string>> expected = {
      {2, "Station is not a number"},  {3, "4 fields, not 8"},
      {4, "Velocity is not a number"}, {5, "more than 8 fields"},
      {6, "Depth is negative"},        {7, "Units is neither Feet nor Meters"},
      {8, "Depth is not a number"}};
  ASSERT_EQ(file.skipped.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(file.skipped[i].line, expected[i].first);
    EXPECT_EQ(file.skipped[i].reason, expected[i].second);
  }
  ASSERT_EQ(file.measurements.size(), 1u);
  ASSERT_EQ(file.measurements[0].records.size(), 2u);
  EXPECT_EQ(file.measurements[0].records[1].line, 10);
  EXPECT_EQ(file.measurements[0].records[1].angleRead, AngleRead::NotANumber);
}

// A file of nothing but bad lines lists a bounded number of them.
TEST(MeasurementReader, TheListOfSkippedRecordsIsBounded) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += "x\n";
  const MeasurementFile file = readMeasurements(bytes);
  ASSERT_EQ(file.skipped.size(), MaxListedSkips + 1);
  EXPECT_EQ(file.skipped.back().line, static_cast<int>(MaxListedSkips) + 1);
  EXPECT_EQ(file.skipped.back().reason,
            "this and " + std::to_string(5000 - MaxListedSkips - 1) + " more records skipped");
}

}  // namespace
