#include "summary/summary_output.h"

#include <cstdio>

#include "summary/number_text.h"

namespace {

bool feet(const Summary& s) {
  return s.unitsNamed == Units::Feet;
}

// Bytes of the file are taken as Latin-1, so any byte gives valid JSON.
std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string jsonOptional(const std::optional<double>& value) {
  return value ? jsonNumber(*value) : "null";
}

std::string jsonMeasurement(const Summary& s) {
  std::string out = "{\"xsec\": " + jsonString(s.xsec) + ", \"block\": " + std::to_string(s.block) +
                    ", \"units\": " + jsonString(unitsWord(s)) +
                    ", \"verticals\": " + std::to_string(s.verticals.size()) +
                    ", \"width\": " + jsonNumber(s.width) + ", \"area\": " + jsonNumber(s.area) +
                    ", \"discharge\": " + jsonOptional(s.discharge) +
                    ", \"mean_velocity\": " + jsonOptional(s.meanVelocity) +
                    ", \"mean_section_discharge\": " + jsonOptional(s.meanSectionDischarge) +
                    ", \"largest_share\": " + jsonNumber(s.largestShare) + ", \"flags\": [";
  for (size_t i = 0; i < s.flags.size(); ++i) out += (i ? ", " : "") + jsonString(s.flags[i]);
  return out + "]}";
}

std::string optionalText(const std::optional<double>& value, int decimals,
                         const std::string& unit) {
  return value ? fixedText(*value, decimals) + " " + unit : "none";
}

}  // namespace

FileSummary summarizeFile(const MeasurementFile& file) {
  FileSummary out;
  for (const Measurement& m : file.measurements) out.measurements.push_back(summarize(m));
  out.skipped = file.skipped;
  return out;
}

std::string unitsWord(const Summary& s) {
  return feet(s) ? "Feet" : "Meters";
}
std::string lengthUnit(const Summary& s) {
  return feet(s) ? "ft" : "m";
}
std::string velocityUnit(const Summary& s) {
  return feet(s) ? "ft/s" : "m/s";
}
std::string areaUnit(const Summary& s) {
  return feet(s) ? "ft\u00b2" : "m\u00b2";
}
std::string dischargeUnit(const Summary& s) {
  return feet(s) ? "ft\u00b3/s" : "m\u00b3/s";
}

std::string summaryText(const FileSummary& summary) {
  std::string out;
  if (summary.measurements.empty()) out += "No measurement in this file.\n";
  for (const Summary& s : summary.measurements) {
    out += "Cross-section " + s.xsec + " (block " + std::to_string(s.block) + "), " + s.date + " " +
           s.time + "\n";
    out += "  Discharge:       " + optionalText(s.discharge, 3, dischargeUnit(s)) + "\n";
    out += "  Area:            " + fixedText(s.area, 3) + " " + areaUnit(s) + "\n";
    out += "  Width:           " + fixedText(s.width, 2) + " " + lengthUnit(s) + "\n";
    out += "  Mean velocity:   " + optionalText(s.meanVelocity, 3, velocityUnit(s)) + "\n";
    out += "  Mean depth:      " + optionalText(s.meanDepth, 3, lengthUnit(s)) + "\n";
    out += "  Verticals:       " + std::to_string(s.verticals.size()) + "\n";
    out += "  Largest share:   " + fixedText(s.largestShare * 100, 1) + " %\n";
    out += "  Mean-section:    " + optionalText(s.meanSectionDischarge, 3, dischargeUnit(s));
    if (s.differencePercent) out += " (" + fixedText(*s.differencePercent, 1) + " %)";
    out += "\n";
    for (const std::string& flag : s.flags) out += "  ! " + flag + "\n";
  }
  for (const SkippedRecord& skip : summary.skipped)
    out += "Skipped line " + std::to_string(skip.line) + ": " + skip.reason + "\n";
  return out;
}

std::string summaryJson(const FileSummary& summary) {
  std::string out = "{\"measurements\": [";
  for (size_t i = 0; i < summary.measurements.size(); ++i)
    out += (i ? ", " : "") + jsonMeasurement(summary.measurements[i]);
  out += "], \"skipped\": [";
  for (size_t i = 0; i < summary.skipped.size(); ++i) {
    out += std::string(i ? ", " : "") + "{\"line\": " + std::to_string(summary.skipped[i].line) +
           ", \"reason\": " + jsonString(summary.skipped[i].reason) + "}";
  }
  return out + "]}\n";
}
