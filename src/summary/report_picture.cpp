// The cross-section drawn to scale across, the depth stretched to fill the
// picture: bed and water under the surface line, and above it each
// vertical's unit discharge (depth times normal velocity) as a bar.
#include <algorithm>
#include <cmath>

#include "summary/number_text.h"
#include "summary/summary_report.h"

namespace {

constexpr double Left = 56, Right = 784, BarBase = 122, BarTop = 24, Surface = 136, Bottom = 300,
                 Height = 340;

struct Scale {
  double first = 0, span = 1, deepest = 1, largestFlow = 1;
  double x(double station) const { return Left + (station - first) / span * (Right - Left); }
  double y(double depth) const { return Surface + depth / deepest * (Bottom - 8 - Surface); }
  double bar(double unitFlow) const {
    return std::fabs(unitFlow) / largestFlow * (BarBase - BarTop);
  }
};

std::string n(double value) {
  return fixedText(value, 1);
}

Scale scaleOf(const Summary& s) {
  Scale scale;
  scale.first = s.verticals.front().station;
  const double span = s.verticals.back().station - scale.first;
  if (std::isfinite(span) && span > 0) scale.span = span;
  double deepest = 0, largest = 0;
  for (const Vertical& v : s.verticals) {
    deepest = std::max(deepest, v.depth);
    largest = std::max(largest, std::fabs(v.depth * v.normalVelocity));
  }
  if (std::isfinite(deepest) && deepest > 0) scale.deepest = deepest;
  if (std::isfinite(largest) && largest > 0) scale.largestFlow = largest;
  return scale;
}

const char* barColour(const Summary& s, const Vertical& v) {
  if (v.normalVelocity < 0) return ReverseFlowColour;
  if (!s.discharge) return NoShareColour;
  if (v.share > ShareFlagged) return ShareFlaggedColour;
  if (v.share > ShareNoted) return ShareNotedColour;
  return ShareLowColour;
}

std::string riverBed(const Summary& s, const Scale& k) {
  std::string bed;
  for (const Vertical& v : s.verticals) bed += n(k.x(v.station)) + "," + n(k.y(v.depth)) + " ";
  const std::string left = n(k.x(s.verticals.front().station));
  const std::string right = n(k.x(s.verticals.back().station));
  std::string out = "<polygon class=\"ground\" points=\"" + left + "," + n(Surface) + " " + bed +
                    right + "," + n(Surface) + " " + right + "," + n(Bottom) + " " + left + "," +
                    n(Bottom) + "\"/>";
  out += "<polygon class=\"water\" points=\"" + left + "," + n(Surface) + " " + bed + right + "," +
         n(Surface) + "\"/>";
  out += "<line class=\"surface\" x1=\"" + left + "\" y1=\"" + n(Surface) + "\" x2=\"" + right +
         "\" y2=\"" + n(Surface) + "\"/>";
  return out;
}

std::string verticalMarks(const Summary& s, const Scale& k) {
  std::string out;
  for (const Vertical& v : s.verticals) {
    const std::string x = n(k.x(v.station));
    out += "<line class=\"" + std::string(v.flagged ? "flagged" : "vertical") + "\" x1=\"" + x +
           "\" y1=\"" + n(Surface) + "\" x2=\"" + x + "\" y2=\"" + n(k.y(v.depth)) + "\"/>";
    if (v.flagged) {
      out += "<path class=\"mark\" d=\"M" + x + "," + n(BarTop - 4) + " l-6,-12 h12 z\"><title>" +
             "flagged: station " + fixedText(v.station, 2) + "</title></path>";
    }
  }
  return out;
}

std::string bars(const Summary& s, const Scale& k) {
  std::string out;
  for (const Vertical& v : s.verticals) {
    const double half = std::max(1.5, std::fabs(v.width) / k.span * (Right - Left) * 0.4);
    const double height = k.bar(v.depth * v.normalVelocity);
    out += "<rect x=\"" + n(k.x(v.station) - half) + "\" y=\"" + n(BarBase - height) +
           "\" width=\"" + n(2 * half) + "\" height=\"" + n(height) + "\" fill=\"" +
           barColour(s, v) + "\"><title>station " + fixedText(v.station, 2) + ": " +
           fixedText(v.share * 100, 1) + " % of Q</title></rect>";
  }
  return out;
}

std::string labels(const Summary& s, const Scale& k) {
  const std::string unit = s.unitsNamed == Units::Feet ? "ft" : "m";
  std::string out = "<text x=\"" + n(Left) + "\" y=\"" + n(Bottom + 18) + "\">" +
                    fixedText(s.verticals.front().station, 1) + "</text>";
  out += "<text x=\"" + n(Right) + "\" y=\"" + n(Bottom + 18) + "\" text-anchor=\"end\">" +
         fixedText(s.verticals.back().station, 1) + "</text>";
  out += "<text x=\"" + n((Left + Right) / 2) + "\" y=\"" + n(Bottom + 18) +
         "\" text-anchor=\"middle\">station (" + unit + ")</text>";
  out +=
      "<text x=\"" + n(Left - 6) + "\" y=\"" + n(Surface + 4) + "\" text-anchor=\"end\">0</text>";
  out += "<text x=\"" + n(Left - 6) + "\" y=\"" + n(k.y(k.deepest) + 4) +
         "\" text-anchor=\"end\">" + fixedText(k.deepest, 2) + "</text>";
  out +=
      "<text x=\"" + n(Left - 6) + "\" y=\"" + n(BarTop + 10) + "\" text-anchor=\"end\">q</text>";
  return out;
}

}  // namespace

std::string crossSectionPicture(const Summary& s) {
  if (s.verticals.empty()) return "";
  const Scale k = scaleOf(s);
  return "<svg class=\"section\" viewBox=\"0 0 800 " + n(Height) +
         "\" role=\"img\" aria-label=\"cross-section " + htmlBytes(s.xsec) + "\">" +
         riverBed(s, k) + verticalMarks(s, k) + bars(s, k) + labels(s, k) + "</svg>";
}
