#include "summary/discharge.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "summary/number_text.h"

namespace {

std::string stationText(double station) {
  return fixedText(station, 2);
}

std::string percentText(double fraction) {
  return fixedText(fraction * 100, 1) + " %";
}

UnitSystem unitSystemOf(const std::vector<Record>& records) {
  for (const Record& r : records) {
    if (r.units != records.front().units) return UnitSystem::Mixed;
  }
  return records.front().units == Units::Feet ? UnitSystem::Feet : UnitSystem::Meters;
}

// A measurement may start from either bank, so stations may run either way.
bool stationsInOrder(const std::vector<Record>& records) {
  bool rising = true;
  bool falling = true;
  for (size_t i = 1; i < records.size(); ++i) {
    if (records[i].station < records[i - 1].station) rising = false;
    if (records[i].station > records[i - 1].station) falling = false;
  }
  return rising || falling;
}

// The angle a record's velocity is turned by, with the flag when it cannot be used.
double usableAngle(const Record& r, std::vector<std::string>& flags, bool& flagged) {
  if (r.angleRead == AngleRead::NotANumber) {
    flags.push_back("Angle not a number at station " + stationText(r.station) + "; 0 used");
    flagged = true;
    return 0;
  }
  if (std::fabs(r.angle) > 90) {
    flags.push_back("Angle " + fixedText(r.angle, 1) + " at station " + stationText(r.station) +
                    " beyond +/-90 degrees; 0 used");
    flagged = true;
    return 0;
  }
  return r.angle;
}

// One vertical from the records at one station.
Vertical verticalOf(const std::vector<const Record*>& at, std::vector<std::string>& flags) {
  Vertical v;
  v.station = at.front()->station;
  v.records = static_cast<int>(at.size());
  double shallowest = at.front()->depth;
  double deepest = at.front()->depth;
  bool reverse = false;
  for (const Record* r : at) {
    const double angle = usableAngle(*r, flags, v.flagged);
    v.depth += r->depth;
    v.velocity += r->velocity;
    v.angle += angle;
    v.normalVelocity += r->velocity * std::cos(angle * std::numbers::pi / 180);
    shallowest = std::min(shallowest, r->depth);
    deepest = std::max(deepest, r->depth);
    reverse = reverse || r->velocity < 0;
  }
  const double n = static_cast<double>(at.size());
  v.depth /= n;
  v.velocity /= n;
  v.angle /= n;
  v.normalVelocity /= n;
  if (shallowest != deepest) {
    flags.push_back("Station " + stationText(v.station) + " measured at different depths (" +
                    fixedText(shallowest, 2) + " to " + fixedText(deepest, 2) +
                    "); their mean is used");
    v.flagged = true;
  }
  if (reverse) {
    flags.push_back("Negative velocity at station " + stationText(v.station) + " (reverse flow)");
    v.flagged = true;
  }
  return v;
}

std::vector<Vertical> verticalsOf(const std::vector<Record>& records,
                                  std::vector<std::string>& flags) {
  std::vector<const Record*> sorted;
  for (const Record& r : records) sorted.push_back(&r);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Record* a, const Record* b) { return a->station < b->station; });
  std::vector<Vertical> verticals;
  for (size_t i = 0; i < sorted.size();) {
    size_t end = i;
    while (end < sorted.size() && sorted[end]->station == sorted[i]->station) ++end;
    verticals.push_back(verticalOf({sorted.begin() + i, sorted.begin() + end}, flags));
    i = end;
  }
  return verticals;
}

// Each vertical stands for the water half-way to its neighbours.
void midSection(std::vector<Vertical>& verticals) {
  const size_t n = verticals.size();
  for (size_t i = 0; n > 1 && i < n; ++i) {
    const double before = verticals[i == 0 ? 0 : i - 1].station;
    const double after = verticals[i + 1 == n ? n - 1 : i + 1].station;
    verticals[i].width = (after - before) / 2;
  }
  for (Vertical& v : verticals) {
    v.area = v.width * v.depth;
    v.discharge = v.area * v.normalVelocity;
  }
}

double meanSection(const std::vector<Vertical>& verticals) {
  double total = 0;
  for (size_t i = 1; i < verticals.size(); ++i) {
    const Vertical& a = verticals[i - 1];
    const Vertical& b = verticals[i];
    total += (b.station - a.station) * (a.depth + b.depth) / 2 *
             (a.normalVelocity + b.normalVelocity) / 2;
  }
  return total;
}

void flagShares(Summary& s) {
  for (Vertical& v : s.verticals) {
    if (v.share > ShareFlagged) {
      s.flags.push_back("Vertical at station " + stationText(v.station) + " carries " +
                        percentText(v.share) + " of the discharge (above 10 %)");
      v.flagged = true;
    } else if (v.share > ShareNoted) {
      s.flags.push_back("Note: vertical at station " + stationText(v.station) + " carries " +
                        percentText(v.share) + " of the discharge (above 5 %)");
    }
  }
}

void flagZeroDepthInside(Summary& s) {
  for (size_t i = 1; i + 1 < s.verticals.size(); ++i) {
    if (s.verticals[i].depth == 0) {
      s.flags.push_back("Interior vertical at station " + stationText(s.verticals[i].station) +
                        " has zero depth");
      s.verticals[i].flagged = true;
    }
  }
}

void totals(Summary& s) {
  for (const Vertical& v : s.verticals) s.area += v.area;
  s.width = s.verticals.back().station - s.verticals.front().station;
  if (s.width > 0) s.meanDepth = s.area / s.width;
  if (s.units == UnitSystem::Mixed) {
    s.flags.push_back("Mixed units (Feet and Meters): no discharge computed");
    return;
  }
  double q = 0;
  for (const Vertical& v : s.verticals) q += v.discharge;
  s.discharge = q;
  if (s.area > 0) s.meanVelocity = q / s.area;
  if (q != 0) {
    for (Vertical& v : s.verticals) {
      v.share = v.discharge / q;
      s.largestShare = std::max(s.largestShare, std::clamp(v.share, 0.0, 1.0));
    }
  }
  s.meanSectionDischarge = meanSection(s.verticals);
  if (q != 0) s.differencePercent = (*s.meanSectionDischarge - q) / q * 100;
}

void flagDifference(Summary& s) {
  if (s.differencePercent && std::fabs(*s.differencePercent) > MostDifferencePercent) {
    s.flags.push_back("Mean-section discharge differs from mid-section by " +
                      fixedText(*s.differencePercent, 1) + " % (above 5 %)");
  }
}

}  // namespace

Summary summarize(const Measurement& measurement) {
  Summary s;
  s.xsec = measurement.xsec;
  s.block = measurement.block;
  s.date = measurement.date;
  s.time = measurement.time;
  if (measurement.records.empty()) return s;
  s.units = unitSystemOf(measurement.records);
  s.unitsNamed = measurement.records.front().units;
  if (!stationsInOrder(measurement.records))
    s.flags.push_back("Stations out of order (neither increasing nor decreasing)");
  s.verticals = verticalsOf(measurement.records, s.flags);
  midSection(s.verticals);
  totals(s);
  flagShares(s);
  flagZeroDepthInside(s);
  flagDifference(s);
  if (s.verticals.size() < static_cast<size_t>(FewestVerticals)) {
    s.flags.push_back("Only " + std::to_string(s.verticals.size()) + " vertical" +
                      (s.verticals.size() == 1 ? "" : "s") + " (fewer than 20)");
  }
  return s;
}
