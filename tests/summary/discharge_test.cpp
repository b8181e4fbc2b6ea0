// The mid-section discharge against worked examples computed by hand from
// the method's formulas, and the flags' rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "summary/discharge.h"

namespace {

struct Row {
  double station, depth, velocity, angle;
  Units units = Units::Feet;
};

Measurement measurementOf(const std::vector<Row>& rows) {
  Measurement m;
  m.xsec = "7";
  int line = 2;
  for (const Row& r : rows) {
    Record record;
    record.line = line++;
    record.station = r.station;
    record.depth = r.depth;
    record.velocity = r.velocity;
    record.angle = r.angle;
    record.angleRead = AngleRead::Number;
    record.units = r.units;
    m.records.push_back(record);
  }
  return m;
}

struct Worked {
  const char* name;
  std::vector<Row> rows;
  std::vector<double> widths;
  std::vector<double> discharges;  // q of each vertical
  double width, area, discharge, meanVelocity, meanSection;
};

// Hand computations, vertical by vertical:
//  feet: widths 1 2 2 2 1, areas 0 2 4 2 0, q 0 2 8 2 0; mean-section
//    2(.5)(.5) + 2(1.5)(1.5) + 2(1.5)(1.5) + 2(.5)(.5) = 10.
//  metres from the right bank: sorted 1 4 7 10, widths 1.5 3 3 1.5, areas
//    0 3 2.4 0, q 0 1.8 1.2 0; mean-section .45 + 1.485 + .3 = 2.235.
//  wall at the left edge: widths .5 1 1 .5, areas 1 2 1 0, q .5 2 1 0;
//    mean-section 1.5 + 1.5 + .25 = 3.25.
//  two-point vertical at 2: (1.2 + .8) / 2 = 1, q 0 4 0; mean-section
//    2(1)(.5) + 2(1)(.5) = 2.
//  angled 60 degrees: normal velocity 1 cos 60 = .5, q 0 2 0; mean-section 1.
//  angle 120 is taken as 0: q 0 4 0; mean-section 2.
const std::vector<Worked> WorkedExamples = {
    {"feet",
     {{0, 0, 0, 0}, {2, 1, 1, 0}, {4, 2, 2, 0}, {6, 1, 1, 0}, {8, 0, 0, 0}},
     {1, 2, 2, 2, 1},
     {0, 2, 8, 2, 0},
     8,
     8,
     12,
     1.5,
     10},
    {"metres from the right bank",
     {{10, 0, 0, 0, Units::Meters},
      {7, 0.8, 0.5, 0, Units::Meters},
      {4, 1.0, 0.6, 0, Units::Meters},
      {1, 0, 0, 0, Units::Meters}},
     {1.5, 3, 3, 1.5},
     {0, 1.8, 1.2, 0},
     9,
     5.4,
     3.0,
     3.0 / 5.4,
     2.235},
    {"vertical wall at the left edge",
     {{0, 2, 0.5, 0}, {1, 2, 1, 0}, {2, 1, 1, 0}, {3, 0, 0, 0}},
     {0.5, 1, 1, 0.5},
     {0.5, 2, 1, 0},
     3,
     4,
     3.5,
     0.875,
     3.25},
    {"two-point vertical",
     {{0, 0, 0, 0}, {2, 2, 1.2, 0}, {2, 2, 0.8, 0}, {4, 0, 0, 0}},
     {1, 2, 1},
     {0, 4, 0},
     4,
     4,
     4,
     1,
     2},
    {"angled vertical",
     {{0, 0, 0, 0}, {2, 2, 1, 60}, {4, 0, 0, 0}},
     {1, 2, 1},
     {0, 2, 0},
     4,
     4,
     2,
     0.5,
     1},
    {"angle beyond 90 taken as 0",
     {{0, 0, 0, 0}, {2, 2, 1, 120}, {4, 0, 0, 0}},
     {1, 2, 1},
     {0, 4, 0},
     4,
     4,
     4,
     1,
     2},
};

TEST(Discharge, WorkedExamples) {
  for (const Worked& w : WorkedExamples) {
    SCOPED_TRACE(w.name);
    const Summary s = summarize(measurementOf(w.rows));
    ASSERT_EQ(s.verticals.size(), w.widths.size());
    for (size_t i = 0; i < w.widths.size(); ++i) {
      EXPECT_NEAR(s.verticals[i].width, w.widths[i], 1e-9) << "vertical " << i;
      EXPECT_NEAR(s.verticals[i].discharge, w.discharges[i], 1e-9) << "vertical " << i;
    }
    EXPECT_NEAR(s.width, w.width, 1e-9);
    EXPECT_NEAR(s.area, w.area, 1e-9);
    ASSERT_TRUE(s.discharge && s.meanVelocity && s.meanSectionDischarge);
    EXPECT_NEAR(*s.discharge, w.discharge, 1e-9);
    EXPECT_NEAR(*s.meanVelocity, w.meanVelocity, 1e-9);
    EXPECT_NEAR(*s.meanSectionDischarge, w.meanSection, 1e-9);
    EXPECT_NEAR(*s.differencePercent, (w.meanSection - w.discharge) / w.discharge * 100, 1e-9);
  }
}

TEST(Discharge, SharesAndUnits) {
  const Summary feet = summarize(measurementOf(WorkedExamples[0].rows));
  EXPECT_EQ(feet.units, UnitSystem::Feet);
  EXPECT_NEAR(feet.verticals[1].share, 2.0 / 12, 1e-12);
  EXPECT_NEAR(feet.largestShare, 8.0 / 12, 1e-12);
  EXPECT_NEAR(*feet.meanDepth, 1.0, 1e-12);
  EXPECT_EQ(summarize(measurementOf(WorkedExamples[1].rows)).units, UnitSystem::Meters);
}

TEST(Discharge, MixedUnitsGiveNoDischarge) {
  const Summary s =
      summarize(measurementOf({{0, 0, 0, 0}, {2, 2, 1, 0, Units::Meters}, {4, 0, 0, 0}}));
  EXPECT_EQ(s.units, UnitSystem::Mixed);
  EXPECT_FALSE(s.discharge);
  EXPECT_FALSE(s.meanVelocity);
  EXPECT_FALSE(s.meanSectionDischarge);
  EXPECT_EQ(s.largestShare, 0);
  EXPECT_EQ(s.flags.front(), "Mixed units (Feet and Meters): no discharge computed");
}

struct FlagCase {
  const char* name;
  std::vector<Row> rows;
  std::string flag;
  int flaggedVertical;  // the vertical marked for it, -1 for none
};

std::vector<Row> evenSection(int verticals) {
  std::vector<Row> rows;
  for (int i = 0; i < verticals; ++i) {
    const bool edge = i == 0 || i == verticals - 1;
    rows.push_back({i * 1.0, edge ? 0.0 : 1.0, edge ? 0.0 : 1.0, 0});
  }
  return rows;
}

const std::vector<FlagCase> FlagCases = {
    {"share above 10 %", evenSection(5),
     "Vertical at station 1.00 carries 33.3 % of the discharge (above 10 %)", 1},
    {"share above 5 %", evenSection(17),
     "Note: vertical at station 1.00 carries 6.7 % of the discharge (above 5 %)", -1},
    {"fewer than 20 verticals", evenSection(19), "Only 19 verticals (fewer than 20)", -1},
    {"repeated station at another depth",
     {{0, 0, 0, 0}, {2, 2, 1, 0}, {2, 2.2, 1, 0}, {4, 0, 0, 0}},
     "Station 2.00 measured at different depths (2.00 to 2.20); their mean is used",
     1},
    {"stations out of order",
     {{0, 0, 0, 0}, {4, 0, 0, 0}, {2, 1, 1, 0}},
     "Stations out of order (neither increasing nor decreasing)",
     -1},
    {"interior zero depth",
     {{0, 0, 0, 0}, {1, 1, 1, 0}, {2, 0, 0, 0}, {3, 1, 1, 0}, {4, 0, 0, 0}},
     "Interior vertical at station 2.00 has zero depth",
     2},
    {"reverse flow",
     {{0, 0, 0, 0}, {1, 1, 1, 0}, {2, 1, -0.2, 0}, {3, 1, 1, 0}, {4, 0, 0, 0}},
     "Negative velocity at station 2.00 (reverse flow)",
     2},
    {"angle beyond 90",
     {{0, 0, 0, 0}, {2, 2, 1, -95}, {4, 0, 0, 0}},
     "Angle -95.0 at station 2.00 beyond +/-90 degrees; 0 used",
     1},
    {"mean-section differs",
     {{0, 0, 0, 0}, {2, 1, 1, 0}, {4, 0, 0, 0}},
     "Mean-section discharge differs from mid-section by -50.0 % (above 5 %)",
     -1},
};

TEST(Discharge, FlagsAndTheirRules) {
  for (const FlagCase& c : FlagCases) {
    SCOPED_TRACE(c.name);
    const Summary s = summarize(measurementOf(c.rows));
    EXPECT_NE(std::find(s.flags.begin(), s.flags.end(), c.flag), s.flags.end())
        << "flags: " << ::testing::PrintToString(s.flags);
    if (c.flaggedVertical >= 0) {
      EXPECT_TRUE(s.verticals.at(c.flaggedVertical).flagged);
    }
  }
}

// 21 even verticals with water, 1/21 of the flow each: none of the rules holds.
TEST(Discharge, AGoodMeasurementHasNoFlags) {
  const Summary s = summarize(measurementOf(evenSection(23)));
  EXPECT_TRUE(s.flags.empty()) << ::testing::PrintToString(s.flags);
}

}  // namespace
