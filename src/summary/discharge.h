// The discharge of one measurement by the mid-section method, with the
// mean-section discharge as a cross-check, and the flags that tell the
// hydrographer which verticals to look at again while still on site.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "summary/measurement_reader.h"

// Records at one station are one vertical measured at several depths.
struct Vertical {
  double station = 0;
  double depth = 0;
  double velocity = 0;        // mean of the records' velocities
  double angle = 0;           // mean of the angles used
  double normalVelocity = 0;  // mean of V cos(angle)
  double width = 0;
  double area = 0;
  double discharge = 0;
  double share = 0;  // of the measurement's discharge; 0 when there is none
  int records = 0;
  bool flagged = false;
};

enum class UnitSystem { Feet, Meters, Mixed };

struct Summary {
  std::string xsec;
  int block = 1;
  std::string date;
  std::string time;
  UnitSystem units = UnitSystem::Feet;
  Units unitsNamed = Units::Feet;  // of the first record, the one named when mixed
  std::vector<Vertical> verticals;
  double width = 0;
  double area = 0;
  std::optional<double> discharge;
  std::optional<double> meanVelocity;
  std::optional<double> meanDepth;
  std::optional<double> meanSectionDischarge;
  std::optional<double> differencePercent;  // mean-section against mid-section
  double largestShare = 0;                  // clamped to 0..1
  std::vector<std::string> flags;
};

// Limits of the flags' rules.
inline constexpr double ShareFlagged = 0.10;
inline constexpr double ShareNoted = 0.05;
inline constexpr int FewestVerticals = 20;
inline constexpr double MostDifferencePercent = 5.0;

Summary summarize(const Measurement& measurement);
